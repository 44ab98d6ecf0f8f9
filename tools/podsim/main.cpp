#include "EventLoop.h"
#include "Links.h"
#include "Options.h"

#include <cstdio>
#include <deque>
#include <filesystem>
#include <string>

using namespace vantelo::podsim;

namespace {

void Announce(int number, const std::string& device)
{
    std::printf("VANTELO_COM%d=%s\n", number, device.c_str());
    std::fflush(stdout);
}

void Run(const Options& options)
{
    if (!options.imagesDir.empty())
        std::filesystem::create_directories(options.imagesDir);
    const auto epoch = MonotonicNow();
    std::deque<WirePort> ports;
    Links links;
    for (const PortDescription& described : options.ports) {
        const std::string name = "COM" + std::to_string(described.number);
        if (described.kind == PortKind::Missing) {
            Announce(described.number, "/nonexistent/podsim" + std::to_string(described.number));
            continue;
        }
        const bool keepsImage = !options.imagesDir.empty() && described.kind == PortKind::Pod;
        const auto image =
            keepsImage ? std::filesystem::path(options.imagesDir) / (name + ".image") : std::filesystem::path();
        const auto pod = described.kind == PortKind::Pod ? std::optional(described.pod) : std::nullopt;
        const WirePort& port = ports.emplace_back(described.number, pod, epoch, image.string(), described.swap);
        Announce(described.number, port.pty().slavePath());
        if (!options.linksDir.empty())
            links.Add(port.pty().slavePath(), std::filesystem::path(options.linksDir) / name);
    }
    std::puts("ready");
    std::fflush(stdout);
    Serve(ports);
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const Options options = ParseOptions({argv + 1, argv + argc});
        if (options.help) {
            std::fputs(UsageText, stdout);
            return 0;
        }
        Run(options);
        return 0;
    } catch (const UsageError& error) {
        std::fprintf(stderr, "podsim: %s (see podsim --help)\n", error.what());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "podsim: %s\n", error.what());
        return 1;
    }
}
