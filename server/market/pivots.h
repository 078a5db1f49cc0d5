#pragma once

// Classic floor pivots from the previous period's high, low and close:
// P = (H + L + C) / 3, R1 = 2P - L, S1 = 2P - H, R2 = P + (H - L), S2 = P - (H - L),
// R3 = H + 2 (P - L), S3 = L - 2 (H - P).
struct PivotLevels
{
    double s3;
    double s2;
    double s1;
    double p;
    double r1;
    double r2;
    double r3;
};

PivotLevels classicPivots(double high, double low, double close);
