#pragma once
// Rectangle helpers for the smart-render protocol (right/bottom exclusive).

#include "AE_Effect.h"

bool IsEmptyRect(const PF_LRect* r);

// Grows dst to contain src; an empty dst simply becomes src.
void UnionLRect(const PF_LRect* src, PF_LRect* dst);
