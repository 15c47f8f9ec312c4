// A header of the lowest layer, included from above: allowed.
#pragma once
