// The product's web pages that the skin buttons and the tray menu open, and the loading movie.
// Their hosts are configuration of the installation (Conf/default/config.ini, section [Web], keys
// HelpHost and FeedbackHost, and the loading movie's LoadingHost); the paths and queries are fixed.
#pragma once

#include <string>

// "http://" + HelpHost + "/cafe/st/SubContent?subid=1202696"; "" when no host is configured.
std::string HelpPageUrl();
// "http://" + FeedbackHost + ":8080/ur/reflect/questionH.jsp?ver=XX"; "" when no host is
// configured.
std::string FeedbackPageUrl();

// The loading movie, "http://" + LoadingHost + "/loading_1.04.swf"; "" when no host is
// configured.
std::string LoadingMovieUrl();

// Opens the address in two tries: the program "iexplore.exe" with the address as its parameter,
// then, when that start fails, the address itself with the system's handler. Nothing for "".
void OpenWebPage(const std::string& url);
