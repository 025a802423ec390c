#pragma once
// Resource numbers of the stub, shared by the resource script and the code.
#define IDD_WIZARD 102
#define IDD_EXTRACTION 129
#define IDD_WELCOME 130
#define IDD_LICENCE 131
#define IDD_SPLASH 132
#define IDD_FOLDER 133
#define IDD_PROGRESS 135
#define IDD_FINISH 136
#define IDI_SETUP 128
#define IDS_SOCKETS_ERROR 103
