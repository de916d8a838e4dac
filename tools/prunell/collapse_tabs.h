#pragma once

// One left-to-right pass that replaces each pair of adjacent tabs by one tab (a found pair is
// consumed whole), closing the gap. A run of k tabs becomes ceil(k/2) tabs; repeat the pass
// until the length stops shrinking to leave single tabs. Returns text.
wchar_t* CollapseTabs(wchar_t* text);
