// A yardstick program run as a child on a fixed core, and what it prints: "sample
// <µs> <CPU µs>" for each round trip.
#pragma once

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/bench_support.h"

namespace tarvok::bench {

inline constexpr int kChildWaitMs = 600'000;

// The program of that name next to this one.
inline QString sibling(const char* name) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name);
}

// Runs `program` on `core` to its end; anything but a clean exit ends the benchmark.
inline Timed run_child(const QString& program, const QStringList& args, int core) {
    const testbed::Ended ended = testbed::run(program, args, {.core = core}, kChildWaitMs);
    if (ended.exit != 0) {
        std::fprintf(stderr, "benchmark: %s failed\n%s", qPrintable(program),
                     qPrintable(ended.errors));
        std::exit(1);
    }
    Timed run;
    for (const QByteArray& line : ended.out_lines()) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 3 && fields[0] == "sample") {
            run.add(fields[1].toDouble(), fields[2].toDouble());
        }
    }
    if (run.samples.empty()) {
        std::fprintf(stderr, "benchmark: %s measured nothing\n", qPrintable(program));
        std::exit(1);
    }
    return run;
}

}  // namespace tarvok::bench
