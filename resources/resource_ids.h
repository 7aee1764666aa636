#pragma once
// Resource numbers shared by the resource script and the code.
#define IDI_CUBESAVER 100
#define IDD_SETTINGS 106
#define IDC_PLACEHOLDER_TEXT 1000
