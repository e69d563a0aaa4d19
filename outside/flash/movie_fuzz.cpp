// Fuzz target of the movie reader: any input either loads a movie whose every request has the
// request form, also once the movie's folder is placed in it, and whose stage is either none or
// one that lays out at a positive scale; or it gives an error with a line inside the text.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "movie.h"
#include "movie_folder.h"
#include "request_xml.h"
#include "stage_layout.h"

namespace {

template <typename... F>
struct Visitor : F... {
    using F::operator()...;
};
template <typename... F>
Visitor(F...) -> Visitor<F...>;

void Require(bool ok) {
    if (!ok)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    flash::MovieLoad load = flash::ParseMovie(text);
    if (!load.ok) {
        Require(!load.error.message.empty());
        Require(load.error.line >= 0 && size_t(load.error.line) <= size + 1);
        Require(load.movie.statements.empty());
        return 0;
    }
    Require(load.movie.statements.size() <= flash::kMaxStatements);
    Require((load.movie.stageWidth == 0) == (load.movie.stageHeight == 0));
    Require(load.movie.stageWidth >= 0 && load.movie.stageHeight >= 0);
    for (int32_t mode = -1; mode <= 4; ++mode) {
        flash::StageLayout layout =
            flash::LayOutStage(mode, load.movie.stageWidth, load.movie.stageHeight, 814, 580);
        Require(layout.scaleX > 0 && layout.scaleY > 0);
    }
    flash::PlaceMovieFolder(&load.movie, "/a \"b\" & <c>'d'/{movie-folder}");
    auto checked = [](const std::string& request) {
        Require(flash::CheckRequestXml(request).empty());
        Require(!flash::RequestName(request).empty());
    };
    for (const flash::Statement& s : load.movie.statements) {
        std::visit(Visitor{[&](const flash::Call& c) { checked(c.request); },
                           [&](const flash::Poll& p) {
                               checked(p.request);
                               Require(p.everyMs > 0);
                           },
                           [&](const flash::LiveLabel& l) { checked(l.request); },
                           [&](const flash::Button& b) {
                               checked(b.request);
                               Require(b.width > 0 && b.height > 0);
                           },
                           [](const auto&) {}},
                   s);
    }
    return 0;
}
