// Identifiers shared by the resource script and the program.
#pragma once

#define IDD_MAIN_DIALOG 101
#define IDI_MAIN_ICON 102

#define IDC_LIST_PLACEHOLDER 1002
#define IDC_CAPTION_LABEL 1004
#define IDC_EXIT 1012

// The label above the product list: the template's text and the text set at
// every rebuild are this one string (the C++ side reads it as L"" LABEL_TEXT).
#define LABEL_TEXT "您的电脑上安装了以下velmo软件，建议您卸载:"
