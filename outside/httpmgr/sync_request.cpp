#include "sync_request.h"

#include "transfer.h"

namespace httpmgr {
namespace {

size_t AppendReply(char* data, size_t size, size_t count, void* target) {
    auto* body = static_cast<std::string*>(target);
    size_t bytes = size * count;
    if (body->size() + bytes > kMaxReplyBytes) {
        return 0;  // fails the transfer with a write error
    }
    body->append(data, bytes);
    return bytes;
}

}  // namespace

Reply PostForReply(const std::string& url, const std::string& body) {
    Reply reply;
    Transfer transfer(url);
    CURL* curl = transfer.Handle();
    if (!curl) {
        return reply;
    }
    curl_slist* headers = curl_slist_append(nullptr, "Content-Type: text/xml");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &AppendReply);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
    CURLcode code = transfer.Perform();
    curl_slist_free_all(headers);
    if (code == CURLE_OK) {
        reply.received = true;
        reply.status = transfer.Status();
    } else {
        reply.body.clear();
    }
    return reply;
}

}  // namespace httpmgr
