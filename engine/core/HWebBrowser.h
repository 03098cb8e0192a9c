#ifndef ENGINE_CORE_HWEBBROWSER_H
#define ENGINE_CORE_HWEBBROWSER_H

// Shows a web page by starting the first browser found in PATH (graphical
// ones when DISPLAY is set, text-console ones otherwise), then ends the
// program with status 0. SDL is shut down first.
//
// The URL is handed to the shell inside single quotes, so only URLs of
// printable ASCII without white space or a quote, beginning with a letter
// or digit, are launched; for any other URL, when no browser is found, or
// when the shell cannot start the one found, a line on standard error says
// the page cannot be shown.
[[noreturn]] void launchWebBrowser(const char *url);

// True for a URL that launchWebBrowser hands to the shell, as above.
bool isLaunchableURL(const char *url);

#endif
