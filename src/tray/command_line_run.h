// "chimewatch.exe /export FILE" and "/import FILE": handed over to the
// running program, or, with none running, done here on the stored alerts.
// The session's lock is held only while the stored table is read, changed
// and saved: the import file is read before (when no program runs that
// would read it), the export file written after, so that a slow share
// never keeps a normal start waiting.
#pragma once

#include "transfer_operations.h"

TransferOutcome RunFromCommandLine(TransferRequest request);
