#include "preview/preview_command.h"

#include <spawn.h>
#include <sys/wait.h>

#include <iostream>
#include <memory>
#include <thread>

#include <CLI/CLI.hpp>

#include "cli/arguments.h"
#include "cli/command.h"
#include "preview/preview_server.h"

extern char** environ;

namespace tiltshift {

namespace {

struct PreviewLine {
    PreviewOptions options;
    std::vector<std::string> inputs;
};

void declarePreviewLine(CLI::App& app, PreviewLine& line) {
    PreviewOptions& options = line.options;
    app.add_option("INPUT", line.inputs);
    declareSettingOptions(app, options.job);
    app.get_option("--param")->description(
        "start from this value (repeatable); keyframes as render\n"
        "takes them show as animated values, not editable");
    app.add_option_function<std::string>(
           "--port", [&options](const std::string& v) { options.port = parseCount("--port", v, 0, 65535); },
           "the port to listen on (default: 8765; 0: any free one)")
        ->type_name("N");
    app.add_option_function<std::string>(
           "--listen",
           [&options](const std::string& v) {
               // Requests must name the address the server printed, which
               // no browser does for a wildcard: only localhost would be answered.
               if (v == "0.0.0.0" || v == "::") {
                   throw UsageError("--listen takes the address the page is to be reached at (e.g. 192.168.1.20), "
                                    "not " + v);
               }
               options.listen = v;
           },
           "the address to listen on (default: 127.0.0.1, this\nmachine only)")
        ->type_name("ADDR");
    app.add_flag("--open", options.open, "open the page in the desktop's browser");
}

PreviewOptions checkPreviewLine(PreviewLine& line) {
    if (line.inputs.empty()) {
        throw UsageError("give the INPUT image or frame sequence");
    }
    line.options.job.input = oneInput(line.inputs);
    return std::move(line.options);
}

void openInBrowser(const std::string& url) {
    const char* argv[] = {"xdg-open", url.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) {
        std::cerr << "tiltshift preview: cannot start xdg-open; open " << url << " in a browser\n";
        return;
    }
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
}

int runPreview(const std::string& pluginPath, const PreviewOptions& options) {
    PreviewSession session(pluginPath, pluginPath != defaultPluginPath(), options.job);
    PreviewServer server(session);
    server.bind(options.listen, options.port);
    std::cout << server.url() << std::endl;
    std::cerr << "tiltshift preview: serving " << options.job.input << "; Ctrl+C stops\n";
    if (options.open) {
        openInBrowser(server.url());
    }
    if (!server.run()) {
        throw std::runtime_error("serving " + server.url() + " failed");
    }
    return 0;
}

}  // namespace

PreviewOptions parsePreviewArgs(const std::vector<std::string>& args) {
    CLI::App app;
    prepareApp(app);
    PreviewLine line;
    declarePreviewLine(app, line);
    parseArguments(app, args);
    return checkPreviewLine(line);
}

Action declarePreview(CLI::App& app) {
    const auto line = std::make_shared<PreviewLine>();
    declarePreviewLine(app, *line);
    return [line](const Common& common) { return runPreview(common.pluginPath, checkPreviewLine(*line)); };
}

}  // namespace tiltshift
