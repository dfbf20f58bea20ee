#pragma once
// `tiltshift preview`: a web server on this machine that serves one page for
// tuning the effect on an input, the session behind it, and nothing else.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "preview/preview_session.h"

namespace httplib {
class Server;
}

namespace tiltshift {

// Bodies larger than this are refused: the page sends small JSON objects.
constexpr std::size_t kLargestRequestBody = 16 * 1024;

class PreviewServer {
public:
    explicit PreviewServer(PreviewSession& session);
    ~PreviewServer();

    // Binds the address; port 0 takes a free one. Throws std::runtime_error
    // when the address cannot be had.
    void bind(const std::string& address, int port);
    // "http://127.0.0.1:8765/": where the page is, the only host name
    // (besides localhost with that port) that requests may carry.
    std::string url() const;
    // Serves until stop(); returns false when serving failed.
    bool run();
    void stop();

private:
    void routes();
    bool allowedHost(const std::string& host) const;
    bool allowedOrigin(const std::string& origin) const;

    PreviewSession& session_;
    std::mutex mutex_;  // one request at a time reaches the session
    std::unique_ptr<httplib::Server> server_;
    std::string address_;
    int port_ = 0;
};

}  // namespace tiltshift
