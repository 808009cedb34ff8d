// What the program adds to the driver's work, on the real driver in a hidden 640 x 480 window: a
// frame against a frame that only clears (the floor), and the time of init and its two stages.
#include "render/scene.hpp"
#include "tests/support/gl_window.hpp"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

void frame(benchmark::State& state)
{
    scene the_scene{};
    the_scene.init();
    for (auto _ : state) {
        the_scene.render();
        glFinish();
    }
    the_scene.release();
}

void clear_only_frame(benchmark::State& state)
{
    glClearColor(0.29f, 0.0f, 0.19f, 1.0f);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT);
        glFinish();
    }
}

// Times one lifecycle stage; what undoes it runs outside the clock.
template <typename Make, typename Unmake>
void stage(benchmark::State& state, Make make, Unmake unmake)
{
    for (auto _ : state) {
        scene the_scene{};
        make(the_scene);
        glFinish();
        state.PauseTiming();
        unmake(the_scene);
        glFinish();
        state.ResumeTiming();
    }
}

void init(benchmark::State& state)
{
    stage(state, [](scene& s) { s.init(); }, [](scene& s) { s.release(); });
}

void create_buffers(benchmark::State& state)
{
    stage(state, [](scene& s) { s.create_buffers(); }, [](scene& s) { s.delete_buffers(); });
}

void create_programs(benchmark::State& state)
{
    stage(state, [](scene& s) { s.create_programs(); }, [](scene& s) { s.delete_programs(); });
}

BENCHMARK(frame);
BENCHMARK(clear_only_frame);
BENCHMARK(init)->Unit(benchmark::kMicrosecond);
BENCHMARK(create_buffers)->Unit(benchmark::kMicrosecond);
BENCHMARK(create_programs)->Unit(benchmark::kMicrosecond);

// The console report, then how much a frame costs over the floor.
class ratio_reporter : public benchmark::ConsoleReporter {
public:
    ratio_reporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration)
                real_ns_[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        if (real_ns_.count("frame") != 0 && real_ns_.count("clear_only_frame") != 0)
            std::printf("frame / clear-only frame: %.2f\n", real_ns_["frame"] / real_ns_["clear_only_frame"]);
    }

private:
    std::map<std::string, double> real_ns_;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    // Every iteration compiles for real, as a first run does, rather than loading from Mesa's cache.
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    gl_window window(640, 480, false);
    if (!window.ready())
        return 2;
    ratio_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
