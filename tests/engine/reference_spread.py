#!/usr/bin/env python3
"""A separate, plain calculation of the surface spread model for the engine tests.

Written from the published equations (Rothermel 1972, with the fuel bed and live moisture of
extinction of Albini 1976 and Rothermel's wind limit), with this program's conventions: loads
in t/ac converted by 0.04591, particle density 32 lb/ft3, total mineral content 0.0555 (net
load factor 0.9445), effective mineral content 0.01, 10-h and 100-h SA/V 109 and 30, the
-138/SA/V heating number for live classes too, rate of spread in ch/h rounded to one decimal.

It shares no code with the engine. Run it to print the cases the engine tests pin:
    python3 tests/engine/reference_spread.py
"""

import math

TONS_PER_ACRE_TO_LB_PER_FT2 = 0.04591
PARTICLE_DENSITY = 32.0
TOTAL_MINERAL = 0.0555
EFFECTIVE_MINERAL = 0.01
PI = 3.14159  # the value the published fire-size figures use


class Particle:
    def __init__(self, load_tac, sav, heat, moisture):
        self.w0 = load_tac * TONS_PER_ACRE_TO_LB_PER_FT2  # lb/ft2
        self.sav = sav
        self.heat = heat
        self.moisture = moisture

    def area(self):
        # mean total surface area per unit fuel bed area
        return self.w0 * self.sav / PARTICLE_DENSITY


def weights(particles):
    total = sum(p.area() for p in particles)
    return [p.area() / total if total > 0 else 0.0 for p in particles], total


def spread(loads, savs, heats, depth, mx_dead, moistures, wind_mph, slope_pct):
    """loads: 1-h, 10-h, 100-h, herb, woody (t/ac); savs: 1-h, herb, woody; heats: dead, herb,
    woody; moistures: 1-h, 10-h, 100-h, herb, woody (fractions). Static herbaceous fuel."""
    dead = [Particle(loads[0], savs[0], heats[0], moistures[0]),
            Particle(loads[1], 109.0, heats[0], moistures[1]),
            Particle(loads[2], 30.0, heats[0], moistures[2])]
    live = [Particle(loads[3], savs[1], heats[1], moistures[3]),
            Particle(loads[4], savs[2], heats[2], moistures[4])]
    categories = [dead, live]
    if sum(loads[3:5]) == 0:
        categories = [dead]

    class_weights = []
    category_areas = []
    for c in categories:
        f, area = weights(c)
        class_weights.append(f)
        category_areas.append(area)
    total_area = sum(category_areas)
    category_weights = [a / total_area for a in category_areas]

    # Live moisture of extinction (Albini 1976): ratio of dead to live fine fuel loads, the
    # fine dead fuel moisture weighted by load and heating number.
    mx = [mx_dead]
    unfloored_live_extinction = None
    if len(categories) == 2:
        fine_dead = sum(p.w0 * math.exp(-138.0 / p.sav) for p in dead)
        fine_dead_water = sum(p.moisture * p.w0 * math.exp(-138.0 / p.sav) for p in dead)
        fine_live = sum(p.w0 * math.exp(-500.0 / p.sav) for p in live if p.sav != 0)
        w_ratio = fine_dead / fine_live if fine_live != 0 else 0.0
        mf_dead = fine_dead_water / fine_dead
        mx_live = 2.9 * w_ratio * (1.0 - mf_dead / mx_dead) - 0.226
        mx.append(max(mx_live, mx_dead))
        unfloored_live_extinction = mx_live

    sigma = 0.0
    reaction_terms = []
    heat_sink_sum = 0.0
    bulk_load = 0.0
    particle_volume = 0.0
    for i, c in enumerate(categories):
        f = class_weights[i]
        sav_i = sum(fk * p.sav for fk, p in zip(f, c))
        heat_i = sum(fk * p.heat for fk, p in zip(f, c))
        moist_i = sum(fk * p.moisture for fk, p in zip(f, c))
        net_i = sum(fk * p.w0 * (1.0 - TOTAL_MINERAL) for fk, p in zip(f, c))
        se_i = sum(fk * EFFECTIVE_MINERAL for fk in f)
        for fk, p in zip(f, c):
            bulk_load += p.w0
            particle_volume += p.w0 / PARTICLE_DENSITY
            if p.sav != 0:
                preignition = 250.0 + 1116.0 * p.moisture
                heat_sink_sum += category_weights[i] * fk * math.exp(-138.0 / p.sav) * preignition
        rm = moist_i / mx[i]
        eta_m = 1.0 - 2.59 * rm + 5.11 * rm ** 2 - 3.52 * rm ** 3 if moist_i < mx[i] else 0.0
        eta_s = min(0.174 * se_i ** -0.19, 1.0) if se_i != 0 else 0.0
        sigma += category_weights[i] * sav_i
        reaction_terms.append(net_i * heat_i * eta_m * eta_s)

    rho_b = bulk_load / depth
    beta = particle_volume / depth
    beta_op = 3.348 * sigma ** -0.8189
    ratio = beta / beta_op
    a = 133.0 * sigma ** -0.7913
    gamma_max = sigma ** 1.5 / (495.0 + 0.0594 * sigma ** 1.5)
    gamma = gamma_max * ratio ** a * math.exp(a * (1.0 - ratio))
    ir = gamma * sum(reaction_terms)  # btu/ft2/min
    xi = math.exp((0.792 + 0.681 * math.sqrt(sigma)) * (beta + 0.1)) / (192.0 + 0.2595 * sigma)
    heat_sink = rho_b * heat_sink_sum
    r0 = ir * xi / heat_sink  # ft/min

    c_coef = 7.47 * math.exp(-0.133 * sigma ** 0.55)
    b_coef = 0.02526 * sigma ** 0.54
    e_coef = 0.715 * math.exp(-0.000359 * sigma)
    phi_w = c_coef * (wind_mph * 88.0) ** b_coef * ratio ** -e_coef
    phi_s = 5.275 * beta ** -0.3 * (slope_pct / 100.0) ** 2
    phi = phi_w + phi_s
    ue = (phi * ratio ** e_coef / c_coef) ** (1.0 / b_coef)  # ft/min
    limited = ue > 0.9 * ir
    if limited:
        ue = 0.9 * ir
        phi = c_coef * ue ** b_coef * ratio ** -e_coef
    rate = r0 * (1.0 + phi)  # ft/min
    residence = 384.0 / sigma
    hpa = ir * residence
    fli = hpa * rate / 60.0
    ros = round(rate / 1.1, 1)  # ch/h; the fire sizes use the rounded rate
    ue_mph = ue / 88.0
    # Fire size after one hour, acres (10 square chains). Single ellipse: length-to-width ratio
    # 1 + 0.25 U, head and back fires of an ellipse with that eccentricity.
    lw = 1.0 + 0.25 * ue_mph
    ecc = math.sqrt(lw * lw - 1.0) / lw
    length = ros + ros * (1.0 - ecc) / (1.0 + ecc)
    single = PI * (length / 2.0) * (length / lw / 2.0) / 10.0
    # Double ellipse, only with an effective wind.
    double = 0.0
    if ue_mph > 0:
        ea = 0.534 * math.exp(-0.1147 * ue_mph)
        eb = 2.502 * (88.0 * ue_mph) ** -0.3
        ec = 1.0 + 0.492 * math.exp(-0.1845 * ue_mph) - eb
        double = ros * ros * ea * PI * (ec + eb) / 2.0 / 10.0
    return {
        "RateOfSpread": ros,
        "SingleEllipseArea": single,
        "DoubleEllipseArea": double,
        "rateUnrounded": rate / 1.1,
        "ReactionIntensity": ir,
        "HeatPerUnitArea": hpa,
        "FireLineIntensity": fli,
        "FlameLength": 0.45 * fli ** 0.46,
        "EWind": ue / 88.0,
        "MaxWindSpeedMet": limited,
        "SurfToVol": sigma,
        "PackRatio": ratio,
        "LiveExtinction": mx[1] if len(mx) > 1 else None,
        "LiveExtinctionUnfloored": unfloored_live_extinction,
    }


# The cases of the engine tests, with their inputs as the tests set them.
CASES = {
    # All five classes, three heat contents, wind and slope; the live moisture of extinction is
    # above the dead one and above the live fuel's moisture, so live fuel burns.
    "mixed": dict(loads=[1.0, 2.0, 3.0, 0.5, 1.5], savs=[2000, 1800, 1500], heats=[8000, 9000, 8500],
                  depth=1.2, mx_dead=0.25, moistures=[0.05, 0.07, 0.09, 0.60, 0.90], wind_mph=4, slope_pct=30),
    # Heavy live fuel over damp dead fuel: the live moisture of extinction falls below the dead
    # one and is raised to it, and the live fuel, a little drier than that, still burns.
    "floored": dict(loads=[0.5, 0.5, 0.0, 2.0, 2.0], savs=[2500, 2000, 1600], heats=[8000, 8000, 8000],
                    depth=2.0, mx_dead=0.40, moistures=[0.20, 0.22, 0.24, 0.35, 0.38], wind_mph=2, slope_pct=0),
    # Dead fuel of every size on a steep slope without wind.
    "slope": dict(loads=[0.5, 1.5, 2.5, 0.0, 0.0], savs=[1750, 1500, 1500], heats=[8000, 8000, 8000],
                  depth=0.6, mx_dead=0.20, moistures=[0.04, 0.06, 0.08, 1.0, 1.0], wind_mph=0, slope_pct=60),
}

if __name__ == "__main__":
    for name, case in CASES.items():
        print(name)
        for key, value in spread(**case).items():
            print(f"  {key:18} {value!r}")
