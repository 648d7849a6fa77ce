#include "game/fireworks_factory.h"

Fireworks_Factory::Fireworks_Factory() = default;

Fireworks_Factory::~Fireworks_Factory() = default;
