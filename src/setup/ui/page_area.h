#pragma once
// Where the pages lie in the setup window (96-DPI pixels): the five wizard pages
// right of the page list, the copy and finish pages over the list and its label.

#include "win/Panel.h"

inline void PlaceWizardPage(Panel& page, HWND parent) {
  page.CreatePanel(parent, 190, 52, 320, 240);
}

inline void PlaceWidePage(Panel& page, HWND parent) {
  page.CreatePanel(parent, 0, 52, 532, 250);
}
