// The driver's routing job. Time is the routing alone on the monotonic
// clock; peak memory is the process's peak resident set. Routed means
// complete (every segment routed, the ends on their pins): the sweeps'
// routed counts and the connections complete at the start add up to the
// routed figure. The display
// stand-ins only count their calls while the run works.
#include "routejob.h"

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "db/conns.h"
#include "db/dbheader.h"
#include "db/names.h"
#include "db/shellsvc.h"
#include "db/sweeps.h"
#include "headless/ascio.h"
#include "headless/headless.h"
#include "headless/rundrive.h"
#include "router/completion.h"
#include "router/routeloop.h"
#include "router/sweeprun.h"
#include "router/urstate.h"
#include "router/wave.h"

namespace {

constexpr double kMmPerInch = 25.4;
// An activity-log line is "date  time  text": the text follows the second
// double blank.
std::string LogText(const std::string& line) {
    size_t p = line.find("  ");
    if (p != std::string::npos) p = line.find("  ", p + 2);
    std::string text = p == std::string::npos ? line : line.substr(p + 2);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    return text;
}

std::streamoff FileSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return in ? std::streamoff(in.tellg()) : 0;
}

void NoteSweep(RouteJobReport* report) {
    const MzGoal* g = Goal();
    Sweep s;
    SweepGet(&s);
    report->sweeps.push_back(
        RouteSweepLine{DbHdr().sweep, s.name, g ? g->routedCount : 0, g ? g->attemptCount : 0});
    (void)s;
    report->attempts += g ? g->attemptCount : 0;
    // Each sweep opens the router anew, which starts the wavefront's
    // counter again: take the sweep's count now.
    report->wavefrontSteps += WavePopCount();
    WavePopCountClear();
}

} // namespace

bool RouteJobRun(const RouteJobOptions& options, const std::string& logPath,
                 RouteJobReport* report) {
    const std::streamoff logStart = FileSize(logPath);
    HeadlessSetShellCallsCountOnly(true);
    WavePopCountClear();
    report->routedAtStart = DesignCompleteCount();
    const auto start = std::chrono::steady_clock::now();
    SweepRunCommand(options.resume ? kCmdResumeSweepRouter : kCmdStartSweepRouter);
    struct Drive {
        RouteJobReport* report;
        int32_t running; // the sweep the run works on
    } drive{report, DbHdr().sweep};
    HeadlessDriveRun(
        [](int32_t command, void* context) {
            auto* d = static_cast<Drive*>(context);
            if (command != kCmdResumeSweepRouter) return;
            NoteSweep(d->report);
            autoResume();
            d->running = DbHdr().sweep;
        },
        &drive);
    const int32_t running = drive.running;
    const auto stop = std::chrono::steady_clock::now();
    HeadlessSetShellCallsCountOnly(false);
    report->aborted = HeadlessAbortLatched();
    if (report->aborted && running >= 1 && running <= kSweepLast) {
        // The stopped sweep's own line (the stop cleared its counts): what
        // it routed is what the earlier sweeps' lines do not account for.
        int32_t routed = DesignCompleteCount() - report->routedAtStart;
        for (const RouteSweepLine& s : report->sweeps)
            routed -= s.routed;
        report->sweeps.push_back(RouteSweepLine{running, SweepSlot(running)->name, routed, 0});
    }
    report->seconds = std::chrono::duration<double>(stop - start).count();
    report->wavefrontSteps += WavePopCount();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    report->peakKb = usage.ru_maxrss;
    std::ifstream log(logPath, std::ios::binary);
    if (log) {
        log.seekg(logStart);
        std::string line;
        while (std::getline(log, line))
            if (!line.empty()) report->logLines.push_back(LogText(line));
    }
    return !report->aborted;
}

void RouteJobFigures(RouteJobReport* report) {
    double length = 0;
    report->connections = report->routed = 0;
    report->vias = 0;
    for (int32_t c = 1; c <= ConnCount(); ++c) {
        const Conn* conn = ConnRef(c);
        const int32_t n = conn->head.count;
        for (int32_t i = 0; i < n; ++i) {
            const Crn& k = conn->crn[i];
            if (k.via) ++report->vias;
            if (i + 1 == n || k.layer == 0) continue;
            const Crn& e = conn->crn[i + 1];
            length += std::hypot(double(e.x) - k.x, double(e.y) - k.y);
        }
        if (conn->head.flags & kConnNotSelected) continue;
        ++report->connections;
        if (ConnComplete(conn)) ++report->routed;
    }
    report->length = int64_t(std::llround(length));
    report->lengthMm = length * DbHdr().unitSize * kMmPerInch;
}

void RouteJobPrint(const RouteJobReport& r) {
    for (const std::string& line : r.logLines)
        std::printf("%s\n", line.c_str());
    for (const RouteSweepLine& s : r.sweeps)
        std::printf("sweep %d %s routed %d attempts %d\n", int(s.number), s.name.c_str(),
                    int(s.routed), int(s.attempts));
    const double completion = r.connections ? 100.0 * r.routed / r.connections : 100.0;
    std::printf("route connections %d\n", int(r.connections));
    std::printf("route routed at start %d\n", int(r.routedAtStart));
    std::printf("route routed %d\n", int(r.routed));
    std::printf("route completion %% %.1f\n", completion);
    std::printf("route vias %lld\n", (long long)r.vias);
    std::printf("route length %lld\n", (long long)r.length);
    std::printf("route length mm %.1f\n", r.lengthMm);
    std::printf("route time s %.3f\n", r.seconds);
    std::printf("route peak memory KB %lld\n", (long long)r.peakKb);
    std::printf("route wavefront steps %lld\n", (long long)r.wavefrontSteps);
    std::printf("route attempts %lld\n", (long long)r.attempts);
}
