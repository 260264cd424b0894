#pragma once

#include <httplib.h>

#include <mutex>
#include <string>
#include <thread>

namespace torvane::test {

// Answers every POST with the body it is given; keeps the last request's fields.
class ProfileService {
public:
    ProfileService() {
        server_.Post("/ios/userProfile", [this](const httplib::Request& request, httplib::Response& response) {
            std::lock_guard lock(mutex_);
            fields_ = request.params;
            response.status = status_;
            response.set_content(answer_, "application/json");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~ProfileService() {
        server_.stop();
        thread_.join();
    }
    void answer(std::string body, int status = 200) {
        std::lock_guard lock(mutex_);
        answer_ = std::move(body);
        status_ = status;
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/ios/userProfile"; }
    std::string field(const std::string& name) const {
        std::lock_guard lock(mutex_);
        auto found = fields_.find(name);
        return found == fields_.end() ? "" : found->second;
    }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::string answer_ = "{}";
    int status_ = 200;
    httplib::Params fields_;
};

}  // namespace torvane::test
