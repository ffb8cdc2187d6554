#pragma once
// The console report, followed by the ratios the speed targets are stated in,
// computed from the times of the same run: the median when a benchmark is
// repeated, else its one run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace bench {

struct Ratio {
    const char* label;
    std::string numerator;   // a benchmark's name and arguments, as "BM_Read/100000"
    std::string denominator;
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::vector<Ratio> ratios) : m_ratios(std::move(ratios)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration || r.aggregate_name == "median") {
                const std::string& args = r.run_name.args;
                m_ms[r.run_name.function_name + (args.empty() ? "" : "/" + args)] = r.GetAdjustedRealTime();
            }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const Ratio& r : m_ratios)
            if (m_ms.count(r.numerator) && m_ms.count(r.denominator))
                std::printf("%-58s %6.2f\n", r.label, m_ms[r.numerator] / m_ms[r.denominator]);
    }

private:
    std::vector<Ratio> m_ratios;
    std::map<std::string, double> m_ms;
};

} // namespace bench
