// The driver's routing job: the sweep run on the loaded design, driven as
// the board window drives it (the idle task called in a tight loop, the
// posted commands taken when no task is installed, the let-go command
// handed to the tool event hook after the step in which the abort key
// fired), and the figures of the routed design.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct RouteJobOptions {
    bool resume = false; // Resume Sweep Router instead of Start
};

// One line per sweep the run went through.
struct RouteSweepLine {
    int32_t number;
    std::string name;
    int32_t routed;
    int32_t attempts;
};

struct RouteJobReport {
    bool aborted = false;
    std::vector<RouteSweepLine> sweeps;
    std::vector<std::string> logLines; // activity-log lines the run wrote
    int32_t connections = 0;           // counted as the statistics count
    int32_t routed = 0;                // complete connections after the run
    int32_t routedAtStart = 0;         // ... before it
    int64_t vias = 0;
    int64_t length = 0; // database units
    double lengthMm = 0;
    double seconds = 0;
    int64_t peakKb = 0;
    int64_t wavefrontSteps = 0;
    int64_t attempts = 0;
};

// Runs the sweep router; the activity log of the application folder is
// read for the lines the run appended. False when the run was aborted.
bool RouteJobRun(const RouteJobOptions& options, const std::string& logPath,
                 RouteJobReport* report);
// Fills the design's figures (connections, routed, vias, length).
void RouteJobFigures(RouteJobReport* report);
// Prints the report's lines.
void RouteJobPrint(const RouteJobReport& report);
