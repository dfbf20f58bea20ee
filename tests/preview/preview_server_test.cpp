// The preview server over HTTP, in this process: who it answers, what it refuses, and that it keeps serving.

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include "preview/preview_command.h"
#include "preview/preview_server.h"
#include "tool_files.h"

namespace {

using Json = nlohmann::json;

class PreviewServer : public ::testing::Test {
protected:
    void SetUp() override { test::writeGreyImage(dir / "in.png", 64, 48); }

    void start(std::vector<std::string> args = {}, const std::string& input = "in.png") {
        args.insert(args.begin(), dir / input);
        session = std::make_unique<tiltshift::PreviewSession>(test::pluginPath(), true,
                                                               tiltshift::parsePreviewArgs(args).job);
        server = std::make_unique<tiltshift::PreviewServer>(*session);
        server->bind("127.0.0.1", 0);
        port = std::stoi(server->url().substr(server->url().rfind(':') + 1));
        serving = std::thread([this] { server->run(); });
        client = std::make_unique<httplib::Client>("127.0.0.1", port);
        client->set_read_timeout(60);  // renders share the machine with other tests
        for (int i = 0; i < 100 && !client->Get("/api/state"); ++i) {  // until the server reaches its accept loop
            std::this_thread::yield();
        }
    }

    void TearDown() override {
        if (server) {
            server->stop();
            serving.join();
        }
    }

    Json state() { return Json::parse(answer(client->Get("/api/state")).second); }

    std::string value(const std::string& name) {
        const Json all = state()["params"];
        const auto p = std::find_if(all.begin(), all.end(), [&](const Json& q) { return q["name"] == name; });
        return p == all.end() ? "no such parameter" : p->at("value");
    }

    httplib::Result setParam(const std::string& name, const std::string& value, httplib::Headers headers = {}) {
        return client->Post("/api/param", headers, Json{{"name", name}, {"value", value}}.dump(), "application/json");
    }
    httplib::Result post(const std::string& path, const std::string& body) {
        return client->Post(path, body, "application/json");
    }
    static std::pair<int, std::string> answer(const httplib::Result& result) {  // status 0: none came
        return result ? std::pair(result->status, result->body) : std::pair(0, std::string());
    }

    test::TempDir dir;
    std::unique_ptr<tiltshift::PreviewSession> session;
    std::unique_ptr<tiltshift::PreviewServer> server;
    std::thread serving;
    std::unique_ptr<httplib::Client> client;
    int port = 0;
};

// Another site's page comes through a name its owner points here (DNS
// rebinding), or with its own Origin: refused before anything changes.
TEST_F(PreviewServer, AnswersOnlyTheAddressItPrintedAndItsOwnPage) {
    // Host, Origin ("" sends none), with "@" for the port.
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"127.0.0.1:@", "", true}, {"localhost:@", "", true},
        {"127.0.0.1:@", "http://127.0.0.1:@", true}, {"localhost:@", "http://localhost:@", true},
        {"rebound.example:@", "", false}, {"127.0.0.1:1", "", false}, {"localhost", "", false}, {"", "", false},
        {"127.0.0.1:@", "http://evil.example", false}, {"127.0.0.1:@", "https://127.0.0.1:@", false},
        {"127.0.0.1:@", "http://127.0.0.1:@.evil.example", false}, {"127.0.0.1:@", "null", false},
    };
    start();
    int blur = 50;
    const auto withPort = [&](std::string text) {
        const std::size_t at = text.find('@');
        return at == std::string::npos ? text : text.replace(at, 1, std::to_string(port));
    };
    for (const auto& [host, origin, allowed] : cases) {
        SCOPED_TRACE(host + " " + origin);
        httplib::Headers headers{{"Host", withPort(host)}};
        if (!origin.empty()) {
            headers.emplace("Origin", withPort(origin));
        }
        EXPECT_EQ(answer(setParam("Blur Amount", std::to_string(blur + 1), headers)).first, allowed ? 200 : 403);
        blur += allowed ? 1 : 0;
        EXPECT_EQ(value("Blur Amount"), std::to_string(blur));
    }
}

TEST_F(PreviewServer, RefusesMalformedRequestsReportsFailedRendersAndKeepsServing) {
    start();
    const std::tuple<const char*, std::string, int> cases[] = {
        {"/api/param", "not json", 400}, {"/api/param", "[\"Blur Amount\", \"60\"]", 400},
        {"/api/param", R"({"name": "Blur Amount", "value": 60})", 400},
        {"/api/param", R"({"name": "Blurr", "value": "60"})", 422},
        {"/api/pointer", R"({"phase": "hover", "x": 1, "y": 1})", 400},
        {"/api/pointer", R"({"phase": "down", "x": 40000, "y": 1})", 400},
        {"/api/pointer", R"({"phase": "down", "x": 4294967297, "y": 1})", 400}, {"/api/frame", R"({"frame": 3})", 409},
        {"/api/param", R"({"name": "Blur Amount", "value": ")" + std::string(tiltshift::kLargestRequestBody, '9') + "\"}",
         413},
    };
    for (const auto& [path, body, status] : cases) {
        EXPECT_EQ(answer(post(path, body)).first, status) << path << " " << body.substr(0, 60);
    }
    EXPECT_EQ(client->Get("/api/view?downsample=0")->status, 400);
    // A render the effect fails is reported, and the next one served.
    session->host().faults().failCall("iterate_generic", 1, PF_Err_OUT_OF_MEMORY);
    const auto [failed, failure] = answer(client->Get("/api/view"));
    ASSERT_EQ(failed, 500);
    EXPECT_NE(Json::parse(failure)["error"].get<std::string>().find("PF_Err_OUT_OF_MEMORY"), std::string::npos) << failure;
    const httplib::Result served = client->Get("/api/view");
    ASSERT_TRUE(served);
    EXPECT_EQ(std::pair(served->status, served->get_header_value("Content-Type")), std::pair(200, std::string("image/png")));
    EXPECT_EQ(value("Blur Amount"), "50");
}

TEST_F(PreviewServer, ServesABurstOfConcurrentRequests) {
    start();
    constexpr int kClients = 12;
    std::vector<std::thread> clients;
    std::vector<int> failures(kClients, 0);
    for (int i = 0; i < kClients; ++i) {
        clients.emplace_back([this, i, &failures] {
            httplib::Client own("127.0.0.1", port);
            own.set_read_timeout(60);
            const std::string blur = std::to_string(10 + i);
            const httplib::Result results[] = {
                own.Get("/api/state"),
                own.Post("/api/param", Json{{"name", "Blur Amount"}, {"value", blur}}.dump(), "application/json"),
                own.Get(i % 2 ? "/api/view?downsample=2" : "/api/frame"), own.Get("/"),
            };
            for (const httplib::Result& r : results) {
                failures[static_cast<std::size_t>(i)] += !r || r->status != 200;
            }
        });
    }
    std::for_each(clients.begin(), clients.end(), [](std::thread& t) { t.join(); });
    EXPECT_EQ(failures, std::vector<int>(kClients, 0));
    const httplib::Result frame = client->Get("/api/frame");
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->get_header_value("X-Generation"), std::to_string(session->generation()));
}

// Events and the panel give one value per parameter; keyframes are the command line's, and follow the frame.
TEST_F(PreviewServer, AnimatedParametersFollowTheFrameShownAndAreNotEdited) {
    for (const char* frame : {"seq.3.png", "seq.4.png", "seq.6.png"}) {
        std::filesystem::copy_file(dir / "in.png", dir / frame);
    }
    start({"--param", "Inner Width=20@3,40@5"}, "seq.%d.png");
    const Json first = state();
    EXPECT_EQ(std::tuple(first["frames"].dump(), first["frame"], first["params"][7]["keyframes"], first["params"][7]["value"]),
              std::tuple("[3,4,6]", 3, "20@3,40@5", "20"));
    const auto [refused, why] = answer(setParam("Inner Width", "30"));
    EXPECT_EQ(std::pair(refused, why.find("is animated") != std::string::npos), std::pair(409, true)) << why;
    EXPECT_EQ(setParam("Blur Amount", "10@0,20@5")->status, 409);
    // The inner outline lies Inner Width (20 at frame 3) right of the centre (32, 24).
    post("/api/pointer", R"({"phase": "down", "x": 52, "y": 24, "shift": false})");
    const auto [dragged, error] = answer(post("/api/pointer", R"({"phase": "up", "x": 58, "y": 24, "shift": false})"));
    ASSERT_EQ(dragged, 409);
    EXPECT_EQ(Json::parse(error)["error"].get<std::string>().rfind("\"Inner Width\" is animated", 0), 0u);
    EXPECT_EQ(value("Inner Width"), "20");
    EXPECT_EQ(Json::parse(client->Get("/api/export")->body)["command"],
              "tiltshift --plugin '" + test::pluginPath() + "' render '" + (dir / "seq.%d.png") + "' -o '" +
                  (dir / "tiltshift-seq.%d.png") + "' --param 'Inner Width=20@3,40@5'");
    EXPECT_EQ(setParam("Blur Amount", "10")->status, 200) << "one animated parameter leaves the others editable";

    const httplib::Result moved = post("/api/frame", R"({"frame": 4})");
    ASSERT_TRUE(moved);
    EXPECT_EQ(Json::parse(moved->body)["params"][7]["value"], "30");
    EXPECT_EQ(post("/api/frame", R"({"frame": 5})")->status, 409) << "not on disk";
    const httplib::Result frame = client->Get("/api/frame");
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->get_header_value("X-Generation"), std::to_string(Json::parse(moved->body)["generation"].get<int>()));
}

}  // namespace
