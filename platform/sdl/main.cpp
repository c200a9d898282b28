// The Linux program's entry: one application object and one SDL host for the whole run.
#include "app/Application.h"
#include "platform/sdl/SdlHost.h"
#include "platform/soft/TextRenderer.h"
#include "res/ResourceStore.h"

int main() {
  const ResourceStore& resources = ResourceStore::builtIn();
  // Without a font the text stays undrawn; everything else works.
  TextRenderer text;
  Application application;
  SdlHost host(application, &resources, &text, &resources.icon());
  return application.run(host);
}
