#include "alarm_table.h"

AlarmTable Alarms;
