#include "app/GlyphlockApp.h"

int main(int argc, char** argv)
{
    GlyphlockApp::RouteToolkitMessages();
    GlyphlockApp app(argc, argv);
    return app.InitInstance();
}
