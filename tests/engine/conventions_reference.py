#!/usr/bin/env python3
"""Reference figures for the engine's two computation conventions, worked from the published
surface spread equations (Rothermel 1972, with Albini's live moisture of extinction) apart from
the program's code. Run it to print the numbers conventions_test.cpp expects:

    python3 tests/engine/conventions_reference.py

Conventions:
  core        every class's net load weighted by its own area fraction; the cured herb joins
              the 1-h class (1-h SA/V, dead heat content, 1-h moisture).
  simulators  net loads weighted by size subclass (the area fractions of the classes of the
              category whose SA/V falls in the same subclass, bounded at 1200, 192, 96, 48, 16
              1/ft, are summed); the cured herb is a dead class of its own with the herb SA/V,
              the dead heat content and the 1-h moisture.
"""
import math


def subclass(sav):
    for i, bound in enumerate((1200, 192, 96, 48, 16)):
        if sav >= bound:
            return i
    return 5


def spread(model, moist, wind_mph, slope_pct, simulators):
    (w1, w10, w100, wh, ww, s1, sh, sw, hd, hh, hw, depth, mxd, dynamic) = model
    m1, m10, m100, mh, mw = moist
    dead = [[w1, s1, hd, m1], [w10, 109.0, hd, m10], [w100, 30.0, hd, m100]]
    live = [[wh, sh, hh, mh], [ww, sw, hw, mw]]
    if dynamic:
        cured = 1.0 if mh <= 0.30 else max(0.0, min(1.0, (1.20 - mh) / 0.90)) if mh < 1.2 else 0.0
        moved = cured * wh
        live[0][0] = wh - moved
        if simulators:
            dead.append([moved, sh, hd, m1])
        else:
            dead[0][0] += moved
    cats = [c for c in (dead, live)]
    present = [any(p[0] != 0 for p in c) for c in cats]
    area = []
    for c, on in zip(cats, present):
        area.append(sum(p[0] * p[1] / 32.0 for p in c) if on else 0.0)
    fcat = [area[0] / (area[0] + area[1])]
    fcat.append(1 - fcat[0])

    def fractions(c, a):
        return [(p[0] * p[1] / 32.0) / a if a > 0 else 0.0 for p in c]

    # live moisture of extinction
    mx_live = 0.0
    if present[1]:
        wd = sum(p[0] * math.exp(-138.0 / p[1]) for p in dead)
        sd = sum(p[3] * p[0] * math.exp(-138.0 / p[1]) for p in dead)
        wl = sum(p[0] * math.exp(-500.0 / p[1]) for p in live if p[1] != 0)
        ratio = wd / wl if wl != 0 else 0.0
        mx_live = max(mxd, (1 - (sd / wd) / mxd) * 2.9 * ratio - 0.226)
    mx = [mxd, mx_live]

    sigma = 0.0
    total_load = 0.0
    volume = 0.0
    sink = 0.0
    q = [0.0, 0.0]
    for i, (c, on) in enumerate(zip(cats, present)):
        if not on:
            continue
        f = fractions(c, area[i])
        if simulators:
            g = []
            for p in c:
                g.append(sum(fk for fk, pk in zip(f, c) if subclass(pk[1]) == subclass(p[1])))
        else:
            g = f
        h = sum(p[2] * fk for p, fk in zip(c, f))
        m = sum(p[3] * fk for p, fk in zip(c, f))
        sav = sum(p[1] * fk for p, fk in zip(c, f))
        se = 0.01
        wn = sum(p[0] * 0.04591 * 0.9445 * gk for p, gk in zip(c, g))
        for p, fk in zip(c, f):
            total_load += p[0] * 0.04591
            volume += p[0] * 0.04591 / 32.0
            if p[1] != 0:
                sink += fcat[i] * fk * (250 + 1116 * p[3]) * math.exp(-138.0 / p[1])
        r = m / mx[i]
        eta_m = 0.0 if m >= mx[i] else 1 - 2.59 * r + 5.11 * r ** 2 - 3.52 * r ** 3
        eta_s = min(1.0, 0.174 / se ** 0.19)
        sigma += sav * fcat[i]
        q[i] = wn * h * eta_s * eta_m
    rho_b = total_load / depth
    beta = volume / depth
    beta_op = 3.348 / sigma ** 0.8189
    rp = beta / beta_op
    a = 133.0 / sigma ** 0.7913
    gmax = sigma ** 1.5 / (495 + 0.0594 * sigma ** 1.5)
    gamma = gmax * rp ** a * math.exp(a * (1 - rp))
    ir = (q[0] + q[1]) * gamma
    xi = math.exp((0.792 + 0.681 * sigma ** 0.5) * (beta + 0.1)) / (192 + 0.2595 * sigma)
    r0 = ir * xi / (rho_b * sink)
    c = 7.47 * math.exp(-0.133 * sigma ** 0.55)
    b = 0.02526 * sigma ** 0.54
    e = 0.715 * math.exp(-0.000359 * sigma)
    phi_w = (wind_mph * 88) ** b * c * rp ** -e
    phi_s = 5.275 * beta ** -0.3 * (slope_pct / 100) ** 2
    phi = phi_w + phi_s
    ue = (phi * rp ** e / c) ** (1 / b)
    if ue > 0.9 * ir:
        ue = 0.9 * ir
        phi = ue ** b * c * rp ** -e
    rate = r0 * (1 + phi)
    fli = ir * 384 * rate / (sigma * 60)
    return {"ROS": round(rate / 1.1, 1), "IR": ir, "FLI": fli, "FL": 0.45 * fli ** 0.46,
            "HPA": ir * 384 / sigma, "SIGMA": sigma, "RP": rp}


# A static model whose two live size classes share one subclass (live herb 1500 and live woody
# 1300 1/ft, both above 1200), beside dead classes in three different subclasses.
STATIC = (1.0, 0.5, 0.25, 0.5, 1.5, 2000, 1500, 1300, 8000, 8000, 8000, 2.0, 0.20, False)
# A dynamic grass-shrub model (loads and SA/V of the standard moderate-load dry grass-shrub):
# live herb and live woody (1800 and 1800) share the top subclass, and so do the cured herb
# and the 1-h class (2000). The herb's heat content (9000) differs from the dead one (8000), so
# the figures tell which one the cured herb burns with (the dead one, under both conventions).
GRASS_SHRUB = (0.5, 0.5, 0, 0.6, 1.0, 2000, 1800, 1800, 8000, 9000, 8000, 1.5, 0.15, True)
MOIST = (0.06, 0.07, 0.08, 0.60, 0.90)

if __name__ == "__main__":
    for name, model in (("static", STATIC), ("grass-shrub", GRASS_SHRUB)):
        for conv in (False, True):
            r = spread(model, MOIST, 5.0, 0.0, conv)
            print(name, "simulators" if conv else "core", {k: float('%.10g' % v) for k, v in r.items()})
