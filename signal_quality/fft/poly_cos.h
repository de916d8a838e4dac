#pragma once

// Single-precision polynomial cosine for -pi/2 <= x <= pi. The twiddle table was made
// from it, so it is kept exactly, error of about 7e-6 included: PolyCos(0) = 0.9999933.
// The sine of a is PolyCos(float(1.5707964 - a)).
float PolyCos(float x);
