// The program's one alarm table, made at start: a table defined in place
// would be stored whole, 101 empty slots and all, in the program file.
#include "alarm_table.h"

AlarmTable& Alarms = *new AlarmTable;
