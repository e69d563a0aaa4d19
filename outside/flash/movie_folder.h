// The folder a movie was loaded from, which its requests name as "{movie-folder}": a movie
// shipped with the installation names the installation's files by it, so the installation
// can be moved.
#pragma once

#include <string>

#include "movie.h"

namespace flash {

inline constexpr char kMovieFolderMark[] = "{movie-folder}";

// For a file, its folder as an absolute path (a relative name is taken from the current
// directory); for an http or https address, the address up to its last slash before any query
// or fragment, or the address itself when it has no path. Never with a trailing separator.
std::string MovieFolder(const std::string& movie);

// Puts the folder, escaped for XML text, in place of every kMovieFolderMark in the movie's
// requests (call, poll, live and button statements).
void PlaceMovieFolder(Movie* movie, const std::string& folder);

}  // namespace flash
