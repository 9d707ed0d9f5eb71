// window_post.cpp -- the queues of messages posted to windows from any thread.
#include <deque>
#include <map>
#include <mutex>

#include "platform/video_c.h"

namespace platform {

namespace {

// A leaf lock: nothing is called while it is held, so any thread may post whatever it holds.
std::mutex g_post_mutex;
std::map<Window*, std::deque<PostedMessage>> g_post_queues;

} // namespace

namespace video_internal {

void OpenPostQueue(Window* window) {
    std::lock_guard<std::mutex> lock(g_post_mutex);
    g_post_queues[window].clear();
}

void ClosePostQueue(Window* window) {
    std::lock_guard<std::mutex> lock(g_post_mutex);
    g_post_queues.erase(window);
}

} // namespace video_internal

bool PostWindowMessage(Window* window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    std::lock_guard<std::mutex> lock(g_post_mutex);
    auto it = g_post_queues.find(window);
    if (it == g_post_queues.end()) return false;
    it->second.push_back(PostedMessage{message, wparam, lparam});
    return true;
}

bool TakePostedMessage(Window* window, PostedMessage& message) {
    std::lock_guard<std::mutex> lock(g_post_mutex);
    auto it = g_post_queues.find(window);
    if (it == g_post_queues.end() || it->second.empty()) return false;
    message = it->second.front();
    it->second.pop_front();
    return true;
}

} // namespace platform
