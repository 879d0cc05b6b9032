// Key values as the editor sees them after the shift folding: kind in the top
// byte, then shift state, scan code and character. Named here once for every
// part of the program that compares keys.
#pragma once

#include "editor/editor.h"

namespace lumo {

constexpr KeyEvent KeyEsc = 0x0000011B;
constexpr KeyEvent KeyShiftEsc = 0x0002011B;
constexpr KeyEvent KeyAltEsc = 0x03080100;
constexpr KeyEvent KeyEnter = 0x00001C0D;
constexpr KeyEvent KeyPadEnter = 0x0000E00D;
constexpr KeyEvent KeyBackspace = 0x00000E08;
constexpr KeyEvent KeyBackslash = 0x00002B5C;
constexpr KeyEvent KeySpace = 0x00003920;
constexpr KeyEvent KeyCtrlAltTab = 0x030C0F00;
constexpr KeyEvent KeyCtrlP = 0x00041910;
constexpr KeyEvent KeyCtrlK = 0x0004250B;
constexpr KeyEvent KeyCtrlC = 0x00042E03;
constexpr KeyEvent KeyCtrlX = 0x00042D18;
constexpr KeyEvent KeyCtrlV = 0x00042F16;
constexpr KeyEvent KeyCtrlW = 0x00041117;
constexpr KeyEvent KeyCtrlR = 0x00041312;
constexpr KeyEvent KeyAltX = 0x03082D00;

constexpr KeyEvent KeyHome = 0x0200FF20;
constexpr KeyEvent KeyUp = 0x0200FF21;
constexpr KeyEvent KeyPgUp = 0x0200FF22;
constexpr KeyEvent KeyLeft = 0x0200FF23;
constexpr KeyEvent KeyRight = 0x0200FF25;
constexpr KeyEvent KeyEnd = 0x0200FF26;
constexpr KeyEvent KeyDown = 0x0200FF27;
constexpr KeyEvent KeyPgDn = 0x0200FF28;
constexpr KeyEvent KeyDel = 0x0200FF2A;
constexpr KeyEvent KeyCtrlIns = 0x0204FF29;
constexpr KeyEvent KeyShiftLeft = 0x0202FF23;
constexpr KeyEvent KeyShiftRight = 0x0202FF25;

constexpr KeyEvent KeyF1 = 0x0200FF01;
constexpr KeyEvent KeyF5 = 0x0200FF05;
constexpr KeyEvent KeyF6 = 0x0200FF06;
constexpr KeyEvent KeyF7 = 0x0200FF07;
constexpr KeyEvent KeyF8 = 0x0200FF08;
constexpr KeyEvent KeyF9 = 0x0200FF09;
constexpr KeyEvent KeyF12 = 0x0200FF0C;
constexpr KeyEvent KeyShiftF2 = 0x0202FF02;
constexpr KeyEvent KeyShiftF9 = 0x0202FF09;
constexpr KeyEvent KeyCtrlF1 = 0x0204FF01;
constexpr KeyEvent KeyCtrlF9 = 0x0204FF09;
constexpr KeyEvent KeyAltF3 = 0x0208FF03;
constexpr KeyEvent KeyAltF10 = 0x0208FF0A;

}  // namespace lumo
