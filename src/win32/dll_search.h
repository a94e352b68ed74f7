#pragma once

// Limits where the program's process looks for DLLs to System32, so that a
// DLL planted beside the program (say, in Downloads) or in the current
// directory is never loaded in place of the system's. Call it first thing.
void SearchDllsInSystem32Only();
