// The console's cost: lines from the worker (each a blocking request to the dialog
// thread), lines on the dialog thread, and a repaint of a console that holds hundreds of
// thousands of lines (the window must stay responsive however long the console grows).
#include "platform/platform.h"
#include "platform/qt/main_window.h"
#include "ui/dialog_template.h"

#include <QApplication>
#include <QEventLoop>
#include <QListView>
#include <QScrollBar>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <thread>

// The window is built without the program's start-up: no port, no worker.
bool platform_open_port() {
    return false;
}
void platform_sleep_ms(std::uint32_t) {}

namespace {

MainWindow* window = nullptr;

void fill(int lines) {
    char line[64];
    for (int i = window->console_lines().line_count(); i < lines; ++i) {
        std::snprintf(line, sizeof line, "Address 0x%01x%04x=0x%02x != 0xff", i >> 16, i & 0xFFFF,
                      i & 0xFF);
        window->add_console_line(line);
    }
    QCoreApplication::processEvents();
}

// Lines sent by a worker thread, each one a blocking request, into a console that already
// holds range(0) lines; the dialog thread waits in its event loop, as in the program.
void BM_LinesFromTheWorker(benchmark::State& state) {
    fill(static_cast<int>(state.range(0)));
    constexpr int lines = 2000;
    for ([[maybe_unused]] auto _ : state) {
        QEventLoop loop;
        std::thread worker([&] {
            for (int i = 0; i < lines; ++i) {
                screen_console_add(window->handle(), "Address 0x01234=0x00 != 0xff");
            }
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec();
        worker.join();
    }
    state.SetItemsProcessed(state.iterations() * lines);
    state.counters["lines"] = window->console_lines().line_count();
}
BENCHMARK(BM_LinesFromTheWorker)
    ->Arg(0)
    ->Arg(300000)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A full repaint of the window with the console at its top and at its end.
void BM_RepaintWithLongConsole(benchmark::State& state) {
    fill(static_cast<int>(state.range(0)));
    window->console_lines().flush();
    auto* view = qobject_cast<QListView*>(window->control(id_console));
    for ([[maybe_unused]] auto _ : state) {
        view->verticalScrollBar()->setValue(0);
        benchmark::DoNotOptimize(window->grab());
        view->scrollToBottom();
        benchmark::DoNotOptimize(window->grab());
    }
    state.counters["lines"] = window->console_lines().line_count();
}
BENCHMARK(BM_RepaintWithLongConsole)->Arg(300000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    MainWindow main_window;
    window = &main_window;
    main_window.show();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    window = nullptr;
    return 0;
}
