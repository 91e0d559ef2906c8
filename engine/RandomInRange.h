#pragma once

// A random integer from a to b + 1 (b + 1 only when the generator draws its largest value).
// The runtime's generator is seeded with the current time in seconds on every call, so two
// calls within the same second return the same value for the same range. b < a gives a.
int RandomInRange(int a, int b);

// The arithmetic of RandomInRange for a given draw r (0 to 32767): a + r * (b - a + 1) / 32767,
// truncating; b < a gives a. The result is clamped to the int range (only b = INT_MAX with
// the largest draw would leave it).
int ScaleRandomDraw(int a, int b, int r);
