// The native pane host: the pane tree's and surface lists' requests on the
// native window of a port (update regions, scroll-bar children, drawing
// in the window's device context, mouse points in port coordinates).
#pragma once

struct PaneHost;

const PaneHost* NativePaneHost();
// Installs the native host as the pane host.
void InstallNativePaneHost();
