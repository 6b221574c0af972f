// COM for the application's thread: started by the process start before
// the main routine, ended after the application's loop.
//
// Guarantees: COM is ended only when it was started here, and once.
#pragma once

void StartApplicationCom();
void StopApplicationCom();
