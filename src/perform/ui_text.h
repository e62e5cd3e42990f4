// Texts the window shows are written in Chinese, the language Tonvale was
// made in, and the window translates them with Qt. The core knows no Qt, so
// a text it holds for the window is marked with TONVALE_UI_TEXT: the mark is
// the text itself, unchanged, and lupdate is told to read it as
// QT_TRANSLATE_NOOP(context, text). The window looks the text up under the
// same context where it shows it.
#pragma once

#define TONVALE_UI_TEXT(context, text) text
