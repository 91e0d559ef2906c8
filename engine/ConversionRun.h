#pragma once

// One conversion run over the main window's tasks, as Start performs it: the stop request
// cleared, every task's progress reset, then each checked task converted in list order until
// the list ends or a stop is requested. Unchecked tasks are passed over untouched. Returns
// true when the run was not stopped (the caller then powers off or says it has finished).
bool RunConversion();
