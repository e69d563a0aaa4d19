#include "movie_folder.h"

#include <filesystem>

#include "movie_download.h"

namespace flash {
namespace {

std::string EscapeXml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += c;
                break;
        }
    }
    return out;
}

void Place(std::string* request, const std::string& escaped) {
    const std::string mark = kMovieFolderMark;
    for (size_t at = request->find(mark); at != std::string::npos;
         at = request->find(mark, at + escaped.size()))
        request->replace(at, mark.size(), escaped);
}

std::string AddressFolder(const std::string& address) {
    const size_t hostStart = address.find("://") + 3;
    const std::string bare = address.substr(0, address.find_first_of("?#", hostStart));
    const size_t pathStart = bare.find('/', hostStart);
    if (pathStart == std::string::npos)
        return bare;
    return bare.substr(0, bare.find_last_of('/'));
}

}  // namespace

std::string MovieFolder(const std::string& movie) {
    if (IsWebAddress(movie))
        return AddressFolder(movie);
    std::error_code error;
    std::filesystem::path file = std::filesystem::absolute(movie, error);
    if (error)
        file = movie;
    std::string folder = file.lexically_normal().parent_path().string();
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

void PlaceMovieFolder(Movie* movie, const std::string& folder) {
    const std::string escaped = EscapeXml(folder);
    for (Statement& s : movie->statements) {
        if (auto* call = std::get_if<Call>(&s))
            Place(&call->request, escaped);
        else if (auto* poll = std::get_if<Poll>(&s))
            Place(&poll->request, escaped);
        else if (auto* live = std::get_if<LiveLabel>(&s))
            Place(&live->request, escaped);
        else if (auto* button = std::get_if<Button>(&s))
            Place(&button->request, escaped);
    }
}

}  // namespace flash
