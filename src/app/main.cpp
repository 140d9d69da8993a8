// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/GlyphlockApp.h"

int main(int argc, char** argv)
{
    GlyphlockApp::RouteToolkitMessages();
    GlyphlockApp::PrepareFonts();
    GlyphlockApp::PrepareFirstPicture(argc > 0 ? argv[0] : "");
    GlyphlockApp app(argc, argv);
    return app.InitInstance();
}
