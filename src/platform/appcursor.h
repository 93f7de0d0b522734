#pragma once

// The application-wide mouse cursor: busy (hourglass) or normal. Setting the
// same state twice changes nothing, so the toolkit's override stays balanced.
namespace AppCursor {
void SetBusy();
void SetNormal();
bool IsBusy();
} // namespace AppCursor
