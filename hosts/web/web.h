// The browser host: the show on a page, through the browser's canvas, keyboard, visibility
// and Web Audio. The page script (page.js) keeps what the program does not own: the start
// prompt, full screen, the ended message and the records of the check mode.
#pragma once

#include <cstdint>
#include <string>

#include "winapi/host.h"

namespace hosts {

// The live page: the canvas, keys as window messages, a hidden tab as a lost focus, frames paced
// by the page's animation frames at 60 per second.
winapi::Host& WebHost();

// The check mode runs on the headless host (virtual clock, hash lines, pictures): after a flip,
// lets the browser run when 250 ms have passed since it last did, so that the page can draw and
// answer while the show renders. A frame sink for hosts::SetFrameSink.
void YieldToPage(const uint16_t* pixels, int width, int height, int pitch, int64_t flip, int t);

// A parameter of the page's address (?name or ?name=value): false when absent.
bool PageParameter(const char* name, std::string* value);

}  // namespace hosts
