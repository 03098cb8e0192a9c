#ifndef ENGINE_CORE_HWEBBROWSER_H
#define ENGINE_CORE_HWEBBROWSER_H

// Shows a web page by starting the first browser found in PATH (graphical
// ones when DISPLAY is set, text-console ones otherwise), then ends the
// program with status 0. SDL is shut down first. The shell is given the
// paths the search found, quoted, so what was found is what runs.
//
// The URL is handed to the shell inside single quotes, so only URLs of
// printable ASCII without white space or a quote, beginning with a letter
// or digit, are launched. For any other URL, when no browser is found, when
// the command does not fit its 16384 bytes, or when the shell cannot run a
// browser started in the foreground (it answers 127), a line on standard
// error says the page cannot be shown. Most graphical browsers are started
// in the background ("&"), where the shell always answers 0: one that fails
// to start there is not noticed.
[[noreturn]] void launchWebBrowser(const char *url);

// True for a URL that launchWebBrowser hands to the shell, as above.
bool isLaunchableURL(const char *url);

#endif
