// Installs the dialog layer's procedures into the window layer's table
// (keys, focus, item behaviours, dismissal, disposal of items).
#pragma once

void InstallDialogLayer();
