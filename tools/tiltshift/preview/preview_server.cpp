#include "preview/preview_server.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <functional>
#include <iostream>
#include <optional>

#include <httplib.h>

#include "cli/arguments.h"
#include "preview/page_assets.h"
#include "render/sequence.h"

namespace tiltshift {

namespace {

using Json = nlohmann::ordered_json;

void sendJson(httplib::Response& res, const Json& body, int status = 200) {
    res.status = status;
    res.set_header("Cache-Control", "no-store");
    res.set_content(body.dump(), "application/json");
}

void sendError(httplib::Response& res, int status, const std::string& message) {
    sendJson(res, Json{{"error", message}}, status);
}

void sendFrame(httplib::Response& res, const EncodedFrame& frame) {
    res.set_header("Cache-Control", "no-store");
    res.set_header("X-Generation", std::to_string(frame.generation));
    res.set_header("X-Downsample", std::to_string(frame.downsample));
    res.set_content(reinterpret_cast<const char*>(frame.bytes.data()), frame.bytes.size(), frame.mimeType);
}

// The request's JSON object; nothing when the body is none.
std::optional<Json> bodyObject(const httplib::Request& req) {
    Json body = Json::parse(req.body, nullptr, false);
    if (body.is_discarded() || !body.is_object()) {
        return std::nullopt;
    }
    return body;
}

// The member as the type asked for, or nothing.
template <typename T>
std::optional<T> member(const Json& object, const char* name) {
    const auto it = object.find(name);
    if (it == object.end()) {
        return std::nullopt;
    }
    if constexpr (std::is_same_v<T, std::string>) {
        return it->is_string() ? std::optional<T>(it->template get<std::string>()) : std::nullopt;
    } else if constexpr (std::is_same_v<T, bool>) {
        return it->is_boolean() ? std::optional<T>(it->template get<bool>()) : std::nullopt;
    } else {
        // Read wide, so that a number beyond T is refused rather than wrapped into range.
        if (!it->is_number_integer()) {
            return std::nullopt;
        }
        const std::int64_t wide = it->template get<std::int64_t>();
        const bool fits = wide >= std::numeric_limits<T>::min() && wide <= std::numeric_limits<T>::max();
        return fits ? std::optional<T>(static_cast<T>(wide)) : std::nullopt;
    }
}

// Panel points travel through the host's 16.16 fixed point.
constexpr int kFarthestPixel = 32767;
constexpr int kMostDownsample = 16;

std::optional<PreviewSession::Pointer> pointerPhase(const std::string& text) {
    if (text == "down") {
        return PreviewSession::Pointer::down;
    }
    if (text == "move") {
        return PreviewSession::Pointer::move;
    }
    if (text == "up") {
        return PreviewSession::Pointer::up;
    }
    return std::nullopt;
}

}  // namespace

PreviewServer::PreviewServer(PreviewSession& session)
    : session_(session), server_(std::make_unique<httplib::Server>()) {
    server_->set_payload_max_length(kLargestRequestBody);
    routes();
}

PreviewServer::~PreviewServer() = default;

void PreviewServer::bind(const std::string& address, int port) {
    address_ = address;
    if (port == 0) {
        port_ = server_->bind_to_any_port(address);
    } else {
        port_ = server_->bind_to_port(address, port) ? port : -1;
    }
    if (port_ < 0) {
        throw std::runtime_error("cannot listen on " + address + (port ? " port " + std::to_string(port) : "") +
                                 (port ? " (--port 0 takes any free port)" : ""));
    }
}

std::string PreviewServer::url() const {
    const bool ipv6 = address_.find(':') != std::string::npos;
    return "http://" + (ipv6 ? "[" + address_ + "]" : address_) + ":" + std::to_string(port_) + "/";
}

bool PreviewServer::run() {
    return server_->listen_after_bind();
}

void PreviewServer::stop() {
    server_->stop();
}

// A page from another site may reach this server through a host name that
// its owner points at this machine (DNS rebinding): only the names this
// server was reached by on purpose are answered.
bool PreviewServer::allowedHost(const std::string& host) const {
    const std::string printed = url().substr(7, url().size() - 8);
    return host == printed || host == "localhost:" + std::to_string(port_);
}

bool PreviewServer::allowedOrigin(const std::string& origin) const {
    return origin.rfind("http://", 0) == 0 && allowedHost(origin.substr(7));
}

void PreviewServer::routes() {
    httplib::Server& server = *server_;
    server.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        if (!allowedHost(req.get_header_value("Host"))) {
            sendError(res, 403, "this server answers to " + url() + " only");
            return httplib::Server::HandlerResponse::Handled;
        }
        if (req.has_header("Origin") && !allowedOrigin(req.get_header_value("Origin"))) {
            sendError(res, 403, "requests from other sites are refused");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            sendError(res, 500, e.what());
        } catch (...) {
            sendError(res, 500, "unknown error");
        }
    });

    server.Get(R"(/|/preview\.js|/preview\.css)", [](const httplib::Request& req, httplib::Response& res) {
        const PageAsset* asset = findPageAsset(req.path);
        res.set_content(asset->content.data(), asset->content.size(), std::string(asset->mimeType).c_str());
    });

    // Every edit answers with the state after it; a refused one with why, and the state as it stayed.
    const auto edit = [this](httplib::Response& res, const std::function<void()>& change) {
        std::lock_guard<std::mutex> lock(mutex_);
        try {
            change();
            sendJson(res, session_.state());
        } catch (const RefusedEdit& e) {
            sendJson(res, Json{{"error", e.what()}, {"state", session_.state()}}, 409);
        } catch (const UsageError& e) {
            sendJson(res, Json{{"error", e.what()}, {"state", session_.state()}}, 422);
        } catch (const std::exception& e) {
            sendJson(res, Json{{"error", e.what()}, {"state", session_.state()}}, 500);
        }
    };

    server.Get("/api/state", [this](const httplib::Request&, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(mutex_);
        sendJson(res, session_.state());
    });
    server.Post("/api/param", [this, edit](const httplib::Request& req, httplib::Response& res) {
        const std::optional<Json> body = bodyObject(req);
        const auto name = body ? member<std::string>(*body, "name") : std::nullopt;
        const auto value = body ? member<std::string>(*body, "value") : std::nullopt;
        if (!name || !value) {
            return sendError(res, 400, "expected {\"name\": NAME, \"value\": VALUE}");
        }
        edit(res, [&] { session_.setParam(*name, *value); });
    });
    server.Post("/api/pointer", [this, edit](const httplib::Request& req, httplib::Response& res) {
        const std::optional<Json> body = bodyObject(req);
        const auto phase = body ? member<std::string>(*body, "phase") : std::nullopt;
        const auto x = body ? member<int>(*body, "x") : std::nullopt;
        const auto y = body ? member<int>(*body, "y") : std::nullopt;
        const auto shift = body ? member<bool>(*body, "shift") : std::nullopt;
        const bool inside = x && y && std::abs(*x) <= kFarthestPixel && std::abs(*y) <= kFarthestPixel;
        if (!phase || !pointerPhase(*phase) || !inside) {
            return sendError(res, 400,
                             "expected {\"phase\": \"down\"|\"move\"|\"up\", \"x\": X, \"y\": Y, \"shift\": BOOL} "
                             "in whole layer pixels");
        }
        edit(res, [&] { session_.pointer(*pointerPhase(*phase), PF_Point{*x, *y}, shift.value_or(false)); });
    });
    server.Post("/api/frame", [this, edit](const httplib::Request& req, httplib::Response& res) {
        const std::optional<Json> body = bodyObject(req);
        const auto frame = body ? member<int>(*body, "frame") : std::nullopt;
        if (!frame) {
            return sendError(res, 400, "expected {\"frame\": FRAME}");
        }
        edit(res, [&] { session_.showFrame(*frame); });
    });

    // Frames: the picture with its handles, and the render alone as it is.
    // A failed render is answered with the plug-in's error; the session goes on.
    const auto frame = [this](httplib::Response& res, const std::function<EncodedFrame()>& render) {
        std::lock_guard<std::mutex> lock(mutex_);
        try {
            sendFrame(res, render());
        } catch (const std::exception& e) {
            sendJson(res, Json{{"error", e.what()}, {"generation", session_.generation()}}, 500);
        }
    };
    server.Get("/api/view", [this, frame](const httplib::Request& req, httplib::Response& res) {
        const std::optional<int> downsample =
            req.has_param("downsample") ? parseFrameNumber(req.get_param_value("downsample")) : 1;
        if (!downsample || *downsample < 1 || *downsample > kMostDownsample) {
            return sendError(res, 400, "downsample runs from 1 to " + std::to_string(kMostDownsample));
        }
        frame(res, [&] { return session_.view(*downsample); });
    });
    server.Get("/api/frame", [this, frame](const httplib::Request&, httplib::Response& res) {
        frame(res, [&] { return session_.lossless(); });
    });

    server.Get("/api/export", [this](const httplib::Request&, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(mutex_);
        sendJson(res, Json{{"command", session_.renderCommand()}, {"preset", session_.preset()}});
    });
}

}  // namespace tiltshift
