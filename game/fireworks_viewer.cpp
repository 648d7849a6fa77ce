#include "game/fireworks_viewer.h"

#include "platform/window/window.h"
#include "toolkit/program_messages.h"

void Fireworks_Viewer::Play(Animation_Sequence*, const Shape_Drawing*, TDC&, const TRect&, TWindow* window) {
  if (window) window->PostMessage(Fireworks_Finished_Message);
}
