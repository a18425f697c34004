#pragma once
// Ids of the main window's menu bar and its keyboard shortcuts, shared by
// main_menu.rc and the window's code. The command ids stay clear of IDOK and
// IDCANCEL, which Enter and Escape send.

#define IDR_MAIN_MENU 1
#define IDR_MAIN_ACCELERATORS 2
#define IDM_N2 1002               // Файл > Выход
#define IDM_N4 1004               // Проект > Запуск
#define IDM_N6 1006               // Справка > Вызов справки
#define IDM_N8 1008               // Справка > О программе...
#define IDM_N10 1010              // Проект > Заполнить примером
#define IDM_NEW_PROJECT 1021      // Файл > Новый проект (Ctrl+N)
#define IDM_OPEN_PROJECT 1022     // Файл > Открыть проект… (Ctrl+O)
#define IDM_SAVE_PROJECT 1023     // Файл > Сохранить проект (Ctrl+S)
#define IDM_SAVE_PROJECT_AS 1024  // Файл > Сохранить проект как…
