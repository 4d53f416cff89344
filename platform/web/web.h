// The browser backend: the show on a page, through the browser's canvas, keyboard, visibility
// and Web Audio. The page script (page.js) keeps what the program does not own: the start
// prompt, full screen, the ended message and the records of the check mode.
#pragma once

#include <string>

#include "platform/backend.h"

namespace platform {

// The live page: the canvas, keys as window messages, a hidden tab as a lost focus, frames paced
// by the page's animation frames at 60 per second.
Backend& WebBackend();

// The check mode: the headless backend (virtual clock, hash lines, pictures) that yields to the
// browser now and then so that the page stays alive.
Backend& WebHeadlessBackend();

// A parameter of the page's address (?name or ?name=value): false when absent.
bool PageParameter(const char* name, std::string* value);

}  // namespace platform
