// A planted upward include for the layering check: errors may not reach app.
#include "app/locations.h"
#include "platform/paths.h"
