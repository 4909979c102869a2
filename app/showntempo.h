#pragma once

namespace tk {
class PropertySheet;
}

// Types a tempo (to two decimals at most) into the tempo of the page shown,
// as the user would type it there, so that the page's own rules decide
// what follows.
void TypeShownTempo(tk::PropertySheet& sheet, double bpm);
