#pragma once
// Ids of the main window's menu bar, shared by main_menu.rc and the window's code.
// The command ids stay clear of IDOK and IDCANCEL, which Enter and Escape send.

#define IDR_MAIN_MENU 1
#define IDM_N2 1002   // Файл > Выход
#define IDM_N4 1004   // Проект > Запуск
#define IDM_N6 1006   // Справка > Вызов справки
#define IDM_N8 1008   // Справка > О программе...
#define IDM_N10 1010  // Проект > Заполнить примером
