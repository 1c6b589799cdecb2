#!/usr/bin/env bash
# Proves the tests' strength: applies single deliberate faults, one at a time, to a copy of the
# sources, rebuilds the tests there and runs them. Every fault must make a test fail; the script
# fails when one survives (or no longer applies). Two suites:
#   engine  faults of the spread core (src/engine/SurfaceSpread.cpp) against the engine tests
#   units   faults of the unit conversions and display precisions (src/units) against the
#           units tests
#   options faults of fmtool's shared environment options (src/fmtool/EnvironmentOptions.cpp)
#           against the fmtool tests
#   calibration faults of the agreement statistics, objectives, adjustment factor and numbers,
#           observation units, folds and bound flags (src/calibration) against the calibration
#           tests
#   uncertainty  faults of the sampling, truncation, correlation, quantiles, Sobol estimators
#           and response bands (src/uncertainty) against the uncertainty tests
#
#   scripts/mutation-check.sh [engine|units|options|calibration|uncertainty] [WORK_DIR]   (default engine,
#                                                    build-mutation[-units|-options|-calibration|-uncertainty])
#
# Prints one line per fault and, at the end, the faults tried, caught and the time taken.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
suite=engine
case ${1:-} in engine|units|options|calibration|uncertainty) suite=$1; shift ;; esac
if [ "$suite" = engine ]; then work=${1:-build-mutation}; else work=${1:-build-mutation-$suite}; fi
mkdir -p "$work"
work=$(cd "$work" && pwd)
copy="$work/source"
build="$work/build"

# Each fault: the exact text (found exactly once in the core), a tab, its replacement, a tab,
# what the change means. Left out because no result can show them: the 2.502 of the double
# ellipse (its b cancels in c + b) and the cap of the mineral damping at 1 (with the fixed
# effective mineral content of 0.01 the damping is 0.417).
engine_mutations=(
  $'(2.9 * w)\t(2.8 * w)\tlive moisture of extinction factor 2.9'
  $'0.226,\t0.2,\tlive moisture of extinction offset 0.226'
  $'quot(-500, bed.sav[1][k]\tquot(-450, bed.sav[1][k]\texponent -500 of the live fine load'
  $'if (mxLive < mxDead)\tif (false)\tfloor of the live moisture of extinction at the dead one'
  $'wd / wl\twl / wd\tdead to live fine load ratio inverted'
  $'sd + bed.moist[0][k] * bed.w0[0][k] * e\tsd + bed.moist[0][k] * e\tload weight in the dead moisture sum'
  $'sd + bed.moist[0][k] * bed.w0[0][k] * e\tsd + bed.moist[0][k] * bed.w0[0][k]\theating number weight in the dead moisture sum'
  $'quot(-138, bed.sav[0][k]\tquot(-130, bed.sav[0][k]\tdead fine fuel exponent -138'
  $'heatSink + fi[i] * f * qig\theatSink + f * qig\tcategory weight in the heat sink'
  $'quot(-138, bed.sav[i][k], "effective heating number")\tquot(-130, bed.sav[i][k], "effective heating number")\theating number exponent -138'
  $'250 + 1116 *\t250 + 1000 *\theat of preignition 1116'
  $'fin(250 + \tfin(200 + \theat of preignition 250'
  $'kSav10Hour = 109\tkSav10Hour = 100\t10-h SA/V 109'
  $'kSav100Hour = 30\tkSav100Hour = 35\t100-h SA/V 30'
  $'kParticleDensity = 32\tkParticleDensity = 30\tparticle density 32'
  $'kNetLoadFactor = 0.9445\tkNetLoadFactor = 1.0\tnet load factor 0.9445'
  $'kMineralContent = 0.01\tkMineralContent = 0.02\teffective mineral content 0.01'
  $'kLoadToLbFt2 = 0.04591\tkLoadToLbFt2 = 0.045\tload conversion 0.04591'
  $'kFtMinPerChH = 1.1\tkFtMinPerChH = 1.0\trate conversion 1.1'
  $'fi[1] = 1 - fi[0]\tfi[1] = fi[0]\tlive category weight'
  $'wn + wnk[k] * fk[i][k]\twn + wnk[k]\tclass weight of the net load'
  $'h + bed.heat[i][k] * f\th + bed.heat[i][k]\tclass weight of the heat content'
  $'sigma + sav * fi[i]\tsigma + sav\tcategory weight of the characteristic SA/V'
  $'1 - 2.59 * r\t1 - 2.5 * r\tmoisture damping 2.59'
  $'5.11 * r * r\t5.0 * r * r\tmoisture damping 5.11'
  $'3.52 * r * r * r\t3.4 * r * r * r\tmoisture damping 3.52'
  $'quot(0.174,\tquot(0.2,\tmineral damping 0.174'
  $'power(se, 0.19,\tpower(se, 0.2,\tmineral damping exponent 0.19'
  $'quot(3.348,\tquot(3.0,\toptimum packing ratio 3.348'
  $'power(sigma, 0.8189,\tpower(sigma, 0.8,\toptimum packing ratio exponent 0.8189'
  $'power(sigma, 0.7913,\tpower(sigma, 0.8,\treaction velocity exponent 0.7913'
  $'495 + 0.0594 * sigma15\t495 + 0.06 * sigma15\tmaximum reaction velocity 0.0594'
  $'fin(495 + \tfin(500 + \tmaximum reaction velocity 495'
  $'0.792 + 0.681 *\t0.792 + 0.7 *\tpropagating flux ratio 0.681'
  $'fin(192 + 0.2595 * sigma\tfin(192 + 0.25 * sigma\tpropagating flux ratio 0.2595'
  $'5.275 * power(beta\t5.0 * power(beta\tslope factor 5.275'
  $'power(beta, -0.3, "slope factor")\tpower(beta, -0.25, "slope factor")\tslope factor exponent -0.3'
  $'slope / 100\tslope / 10\tslope percent to tangent'
  $'7.47 * expo(\t7.0 * expo(\twind factor C 7.47'
  $'-0.133 * power(sigma, 0.55\t-0.13 * power(sigma, 0.55\twind factor C exponent 0.133'
  $'0.02526 * power(sigma, 0.54\t0.025 * power(sigma, 0.54\twind factor B 0.02526'
  $'0.715 * expo(-0.000359\t0.7 * expo(-0.000359\twind factor E 0.715'
  $'expo(-0.000359 * sigma\texpo(-0.0003 * sigma\twind factor E exponent 0.000359'
  $'uMax = fin(0.9 * ir\tuMax = fin(0.95 * ir\twind limit 0.9'
  $'if (uE > uMax)\tif (uE > 2 * uMax)\twind limit test'
  $'quot(1, coefB, "effective wind speed")\tquot(1.05, coefB, "effective wind speed")\teffective wind exponent 1/B'
  $'quot(fin(ir * 384, "heat per unit area")\tquot(fin(ir * 380, "heat per unit area")\tresidence time 384'
  $'flameLength = fin(0.45 * power(fireLineIntensity, 0.46, "flame length"), "flame length");\n\n\tflameLength = fin(0.45 * power(fireLineIntensity, 0.5, "flame length"), "flame length");\n\n\tflame length exponent 0.46'
  $'(1.20 - mh) / 0.90\t(1.20 - mh) / 0.80\therbaceous transfer fraction'
  $'0.534 * expo(-0.1147\t0.5 * expo(-0.1147\tdouble ellipse 0.534'
  $'1 + 0.492 *\t1 + 0.5 *\tdouble ellipse 0.492'
  $'1 + 0.25 * ue\t1 + 0.2 * ue\tlength-to-width ratio 0.25'
  $'kPi = 3.14159\tkPi = 3.0\tpi of the fire sizes'
  $'bed.heat[0][3] = fuel[8];\tbed.heat[0][3] = fuel[9];\tthe cured herb burning with the live herb heat content'
)

# Faults of the conversions: each exact factor, each derived factor's formula, the precision of
# the metric texts and the way typed metric text is turned back into English. A fourth field
# names the file when it is not Units.cpp.
units_mutations=(
  $'kMetersPerFoot = 0.3048;\tkMetersPerFoot = 0.3047;\tfoot 0.3048 m\tsrc/units/Units.h'
  $'kKilogramsPerPound = 0.45359237;\tkKilogramsPerPound = 0.4536;\tpound 0.45359237 kg\tsrc/units/Units.h'
  $'kHectaresPerAcre = 0.40468564224;\tkHectaresPerAcre = 0.4047;\tacre 0.40468564224 ha\tsrc/units/Units.h'
  $'kKilometersPerMile = 1.609344;\tkKilometersPerMile = 1.6093;\tmile 1.609344 km\tsrc/units/Units.h'
  $'PerPound = 2.326;\tPerPound = 2.33;\tbtu/lb 2.326 kJ/kg\tsrc/units/Units.h'
  $'kMetersPerChain = 66 * \tkMetersPerChain = 60 * \tchain 66 ft\tsrc/units/Units.h'
  $'2000 * kKilogramsPerPound / 1000\t2240 * kKilogramsPerPound / 1000\tshort ton 2000 lb\tsrc/units/Units.h'
  $'{1 / kMetersPerFoot, "ft2/ft3"\t{kMetersPerFoot, "ft2/ft3"\tSA/V per foot, not times a foot'
  $'{kMetersPerChain / 60, "ch/h"\t{kMetersPerChain / 66, "ch/h"\tchains per hour to metres per minute'
  $'{kKilojoulesPerBtu / kMetersPerFoot, "btu/ft/s"\t{kKilojoulesPerBtu * kMetersPerFoot, "btu/ft/s"\tfireline intensity per foot of front'
  $'{kKilojoulesPerBtu / kSquareMetersPerSquareFoot, "btu/ft2"\t{kKilojoulesPerBtu / kMetersPerFoot, "btu/ft2"\theat per unit area per square foot'
  $'{kTonnesPerShortTon / kHectaresPerAcre, "t/ac"\t{kTonnesPerShortTon * kHectaresPerAcre, "t/ac"\tloading per acre'
  $'"t/ac", "t/ha", 2, 2, 2}\t"t/ac", "t/ha", 2, 2, 3}\tmetric loading entries to 0.01 t/ha'
  $'"ft", "m", 2, 2, 2}\t"ft", "m", 2, 2, 1}\tmetric depth entries to 0.01 m'
  $'"ch/h", "m/min", 1, 2, 2}\t"ch/h", "m/min", 1, 1, 2}\tmetric rates of spread to 0.01 m/min'
  $'? english * row(q).metricPerEnglish : english\t? english / row(q).metricPerEnglish : english\tEnglish to metric multiplies'
  $'? shown / row(q).metricPerEnglish : shown\t? shown * row(q).metricPerEnglish : shown\tmetric to English divides'
  $'return row(q).metricPerEnglish != 1;\treturn true;\tpercentages and ratios are not converted'
  $'while (text.endsWith(QLatin1Char(\'0\')))\tif (text.endsWith(QLatin1Char(\'0\')))\ttrailing zeros of a metric text'
  $'constexpr int kMaxDecimals = 12;\tconstexpr int kMaxDecimals = 3;\tprecision searched for typed metric text'
)
# Faults of the environment options fmtool table and sweep share: each range edge, which value an
# option sets, how the midflame wind is made and handed to the core, the scenario's values and
# the checks of what was typed. Left out: the 20-ft wind handed to the core, which the core only
# keeps for the editor's display (nothing fmtool prints depends on it).
options_mutations=(
  $'{"--moist-1h", 1, 60,\t{"--moist-1h", 0, 60,\tlowest 1-h moisture 1 %'
  $'{"--moist-herb", 30, 300,\t{"--moist-herb", 30, 250,\thighest herb moisture 300 %'
  $'{"--wind", 0, 99,\t{"--wind", 0, 100,\thighest 20-ft wind 99 mi/h'
  $'{"--wind-adjust", 0, 1,\t{"--wind-adjust", 0, 2,\thighest wind adjustment factor 1'
  $'{"--slope", 0, 1000,\t{"--slope", 0, 100,\thighest slope 1000 %'
  $'kWind = 5, kWindAdjust = 6,\tkWind = 6, kWindAdjust = 5,\twind and its factor swapped'
  $'if (option < 5)\tif (option < 4)\tthe woody moisture option sets a moisture'
  $'FormatPattern(windAdjustment * wind,\tFormatPattern(wind,\tmidflame wind is the 20-ft wind times the factor'
  $'u"##0.0"));\tu"##0.00"));\tmidflame wind rounded to the editor\'s one decimal'
  $'setFuelMoisture1Hour(moisture[0] / 100)\tsetFuelMoisture1Hour(moisture[1] / 100)\t1-h moisture handed to the core'
  $'setFuelMoistureHerb(moisture[3] / 100)\tsetFuelMoistureHerb(moisture[3] / 10)\therb moisture percent to fraction'
  $'fs.setSlope(slope);\tfs.setSlope(0);\tslope handed to the core'
  $'fs.setConventions(conventions);\tfs.setConventions(SpreadConventions::Core);\tconventions handed to the core'
  $'m->hundredHour, m->herb, m->woody}\tm->hundredHour, m->woody, m->herb}\tstandard scenario live moistures'
  $'e.windAdjustment = saved->windAdjustment;\t(void)0;\tsaved environment wind adjustment factor'
  $'e.slope = saved->slope;\t(void)0;\tsaved environment slope'
  $'k == kWind ? Units::ToEnglish(option.quantity, m_units, typed) : typed\ttyped\tmetric wind turned into mi/h'
  $'english < option.low || english > option.high\tenglish < option.low\tupper range check'
  $'!ok || !std::isfinite(typed)\t!ok\tinfinite values refused'
  $'e.conventions = m_conventions;\t(void)0;\tchosen conventions kept'
)
# The calibration code: statistics and objectives (FitStatistics.cpp unless a target is given).
calibration_mutations=(
  $'se += w * d * d;\tse += d * d;\tweights in the RMSE'
  $'s.bias = sd / sw;\ts.bias = -sd / sw;\tbias is predicted less observed'
  $'sp += w * std::fabs(d) / observed[i];\tsp += w * std::fabs(d) / predicted[i];\tpercentage error relative to the observed value'
  $'s.mape = 100 * sp / sw;\ts.mape = sp / sw;\tMAPE in percent'
  $'if (std::fabs(d) <= kAcceptanceBand * observed[i])\tif (std::fabs(d) < kAcceptanceBand * predicted[i])\tacceptance band around the observed value'
  $'s.within35 = sin / sw;\ts.within35 = sin / s.count;\tweighted share within the band'
  $'std::log(std::max(predicted[i], kLogFloor) / observed[i]);\tstd::log(std::max(predicted[i], kLogFloor)) / observed[i];\tlog of the ratio'
  $'return std::sqrt(sum / sw);\treturn sum / sw;\tRMSE objective is a root'
  $'return 100 * sum / sw;\treturn sum / sw;\tMAPE objective in percent'
  $'value += options.flameWeight * flame;\tvalue += flame;\tflame length weight'
  $'if (!o.hasFlameLength())\n            continue;\n        p.predicted\tif (false)\n            continue;\n        p.predicted\tonly observed flame lengths compared'
  $'sum += o.weight * std::log(o.ros / predicted[i].ros);\tsum += std::log(o.ros / predicted[i].ros);\tweights in the adjustment factor'
  $'return sw > 0 ? std::exp(sum / sw) : NAN;\treturn sw > 0 ? std::exp(sum) : NAN;\tadjustment factor is a mean'
  $'kLogFloor = 1e-3;\tkLogFloor = 1e-2;\tfloor of the log ratio\tsrc/calibration/FitStatistics.h'
  $'kAcceptanceBand = 0.35;\tkAcceptanceBand = 0.3;\tthe +/-35 % band\tsrc/calibration/FitStatistics.h'
  $'{"m/s", 3600 / kMetersPerChain}\t{"m/s", 60 / kMetersPerChain}\trates of spread in m/s\tsrc/calibration/Observations.cpp'
  $'return 1 / Units::kMetersPerFoot;\treturn Units::kMetersPerFoot;\tmetric flame lengths\tsrc/calibration/Observations.cpp'
  $'obs.environment.midflameWind = *wind * *adjust;\tobs.environment.midflameWind = *wind;\twind adjustment factor applied\tsrc/calibration/Observations.cpp'
  $'foldOf[size_t(order[size_t(k)])] = k % folds;\tfoldOf[size_t(order[size_t(k)])] = k % folds / 2;\tfolds dealt in turn\tsrc/calibration/Calibration.cpp'
  $'if (u >= 1 - kAtBoundDistance)\tif (u >= 1)\tupper bound flag\tsrc/calibration/MultiStart.cpp'
  $'if (number >= 90 && number <= 99)\tif (number >= 91 && number <= 99)\tadjustment numbers 90 refused\tsrc/calibration/AdjustmentFile.cpp'
  $'if (number < 1 || number > 256)\tif (number < 0 || number > 256)\tadjustment number 0 refused\tsrc/calibration/AdjustmentFile.cpp'
  $'if (digits && AdjustmentNumberProblem(own)\tif (ok && AdjustmentNumberProblem(own)\tonly an ID of digits keeps its number\tsrc/calibration/AdjustmentFile.cpp'
  $'while (next <= 89 && used.count(next))\twhile (next <= 89 && false)\tproposed numbers skip those kept\tsrc/calibration/AdjustmentFile.cpp'
  $'&& used.insert(own).second)\t&& (used.insert(own), true))\tan ID number kept once\tsrc/calibration/AdjustmentFile.cpp'
  $'ros(after - o.ros));\tros(o.ros - after));\tresidual is predicted less observed\tsrc/calibration/CalibrationReport.cpp'
  $'Stats(r.after.flame, units, flUnit, Quantity::FlameLength)\tStats(r.after.flame, units, flUnit)\tflame lengths in the units shown\tsrc/calibration/CalibrationReport.cpp'
)
# Faults of the uncertainty layer: distributions and their truncation, the sampler's scrambling,
# the correlation of moistures, the summaries and the Sobol estimators with their bootstrap.
# Left out: the strict "longer than" of the exceedance (no drawn flame equals a threshold), and
# a spread of nothing marked constant (the uniform draw of an empty interval is the same value).
uncertainty_mutations=(
  $'from = current - std::abs(current) * d.a / 100;\tfrom = current - std::abs(current) * d.a / 50;\tlower end of a percent spread\tsrc/uncertainty/Distributions.cpp'
  $'to = current + std::abs(current) * d.a / 100;\tto = current + std::abs(current) * d.a / 200;\tupper end of a percent spread\tsrc/uncertainty/Distributions.cpp'
  $'m_sd = std::abs(current) * d.a;\tm_sd = std::abs(current) * d.a * 2;\tstandard deviation from the CV\tsrc/uncertainty/Distributions.cpp'
  $'m_low = std::max(from, low);\tm_low = from;\tuniform draws cut at the low end of the range\tsrc/uncertainty/Distributions.cpp'
  $'m_high = std::min(to, high);\tm_high = to;\tuniform draws cut at the high end of the range\tsrc/uncertainty/Distributions.cpp'
  $'NormalQuantile(m_cdfLow + u * (m_cdfHigh - m_cdfLow))\tNormalQuantile(u)\tnormal draws clamped instead of truncated\tsrc/uncertainty/Distributions.cpp'
  $'return x - u / (1 + x * u / 2);\treturn x;\trefinement of the normal inverse\tsrc/uncertainty/Distributions.cpp'
  $'if (d.a > d.b)\tif (d.a > d.b + 1)\ta range from high to low refused\tsrc/uncertainty/Distributions.cpp'
  $'const bool absent = current == 0 &&\tconst bool absent = false &&\tabsent fuel classes kept absent\tsrc/uncertainty/UncertainInputs.cpp'
  $'|| id == EnvironmentInputId::MoistureWoody)\t|| false)\twoody moisture among the live group\tsrc/uncertainty/UncertainInputs.cpp'
  $'adjustmentFactor), u"##0.0"));\tadjustmentFactor), u"##0.00"));\tmidflame wind to one decimal\tsrc/units/MidflameWind.cpp'
  $'m_windDerived = wind;\tm_windDerived = false;\tmidflame wind follows a drawn 20-ft wind\tsrc/uncertainty/UncertainInputs.cpp'
  $'unitOf(bits ^ m_state->shift[std::size_t(i)])\tunitOf(bits + m_state->shift[std::size_t(i)])\tdigital shift by XOR\tsrc/uncertainty/Sampling.cpp'
  $'const std::uint64_t bits = origin ? 0 : std::uint64_t(m_state->sobol());\tconst std::uint64_t bits = std::uint64_t(m_state->sobol());\tthe sequence\'s first point 0\tsrc/uncertainty/Sampling.cpp'
  $'const double rho = 2 * std::sin(M_PI * g.correlation / 6);\tconst double rho = g.correlation;\tnormal correlation of the rank correlation chosen\tsrc/uncertainty/Sampling.cpp'
  $'double sum = i == j ? 1.0 : rho;\tdouble sum = 1.0;\toff-diagonal of the correlation matrix\tsrc/uncertainty/Sampling.cpp'
  $'if (k < 2 || g.correlation == 0)\tif (k < 3 || g.correlation == 0)\ta group of two correlated\tsrc/uncertainty/Sampling.cpp'
  $'const double h = (double(sorted.size()) - 1) * std::clamp(p, 0.0, 1.0);\tconst double h = double(sorted.size()) * std::clamp(p, 0.0, 0.9999);\tposition of a quantile\tsrc/uncertainty/Uncertainty.cpp'
  $'s.sd = values.size() > 1 ? std::sqrt(squares / (n - 1)) : 0;\ts.sd = values.size() > 1 ? std::sqrt(squares / n) : 0;\tsample standard deviation\tsrc/uncertainty/Uncertainty.cpp'
  $'still += f.rateOfSpread <= 0;\tstill += f.rateOfSpread < 0;\tno spread counted\tsrc/uncertainty/Uncertainty.cpp'
  $'first += weight[j] * fB[j] * (fi[j] - fA[j]);\tfirst += weight[j] * fA[j] * (fi[j] - fA[j]);\tfirst-order estimator\tsrc/uncertainty/SobolIndices.cpp'
  $'e.total[std::size_t(i)] = total / (2.0 * n) / variance;\te.total[std::size_t(i)] = total / n / variance;\ttotal estimator\'s 1/2N\tsrc/uncertainty/SobolIndices.cpp'
  $'const double variance = squares / (2.0 * n - 1);\tconst double variance = squares / (n - 1);\tvariance of A and B together\tsrc/uncertainty/SobolIndices.cpp'
  $'counts[std::size_t(random() % std::uint64_t(n))] += 1;\tcounts[std::size_t(j)] += 1;\tbootstrap resampling with replacement\tsrc/uncertainty/SobolIndices.cpp'
  $'s.firstHigh = percentile(values, 0.975);\ts.firstHigh = percentile(values, 0.5);\tupper end of the first-order interval\tsrc/uncertainty/SobolIndices.cpp'
  $'point[std::size_t(block - 2)] = b[block - 2];\tpoint[std::size_t(block - 2)] = a[block - 2];\tcolumn i of AB_i from B\tsrc/uncertainty/SobolIndices.cpp'
  $'const double *b = a + d;\tconst double *b = a;\tB apart from A\tsrc/uncertainty/SobolIndices.cpp'
  $'if (v.key == swept)\n            continue;\tif (false)\n            continue;\tswept input set, not drawn\tsrc/uncertainty/ResponseBands.cpp'
  $'if (isWind(swept) && v.key\tif (false && v.key\tmidflame wind stops with a swept 20-ft wind\tsrc/uncertainty/ResponseBands.cpp'
  $'= EditorMidflameWind(x, p.environment[std::size_t(Id::WindAdjust)]);\t= x;\tmidflame wind of a swept 20-ft wind by the editor\'s rule\tsrc/uncertainty/ResponseBands.cpp'
  $'SortedQuantile(sorted, kBandQuantiles[q] / 100)\tSortedQuantile(sorted, kBandQuantiles[q] / 101)\tband quantiles in percent\tsrc/uncertainty/ResponseBands.cpp'
  $'kBandQuantiles = {5, 25, 75, 95};\tkBandQuantiles = {5, 25, 50, 95};\tthe 25-75 % band\tsrc/uncertainty/ResponseBands.h'
  $'return observed >= band.Quantile(o, 0) && observed <= band.Quantile(o, 3);\treturn observed >= band.Quantile(o, 1) && observed <= band.Quantile(o, 3);\tobserved fires judged by the band\'s 5 % end\tsrc/uncertainty/ResponseBands.cpp'
  $'return observed >= band.Quantile(o, 0) && observed <= band.Quantile(o, 3);\treturn observed >= band.Quantile(o, 0) && observed <= band.Quantile(o, 2);\tobserved fires judged by the band\'s 95 % end\tsrc/uncertainty/ResponseBands.cpp'
  $'moisture[i] = 100 * e.moisture[i];\tmoisture[i] = e.moisture[i];\tobserved moistures in percent\tsrc/uncertainty/ResponseBands.cpp'
  $'p.environment[std::size_t(Id::MidflameWind)] = e.midflameWind;\t(void)0;\tobserved midflame wind used unrounded\tsrc/uncertainty/ResponseBands.cpp'
  $'if (std::isfinite(fire.flameLength)) {\tif (true) {\tonly observed flame lengths counted\tsrc/uncertainty/ResponseBands.cpp'
  $'inside(BandOutput::FlameLength, fire.flameLength)\tinside(BandOutput::Intensity, fire.flameLength)\tflame length against its own band\tsrc/uncertainty/ResponseBands.cpp'
)
if [ "$suite" = engine ]; then
  mutations=("${engine_mutations[@]}")
  default_target=src/engine/SurfaceSpread.cpp
  test_target=engine_tests
  test_binary=tests/engine/engine_tests
elif [ "$suite" = units ]; then
  mutations=("${units_mutations[@]}")
  default_target=src/units/Units.cpp
  test_target=units_tests
  test_binary=tests/units/units_tests
elif [ "$suite" = calibration ]; then
  mutations=("${calibration_mutations[@]}")
  default_target=src/calibration/FitStatistics.cpp
  test_target=calibration_tests
  test_binary=tests/calibration/calibration_tests
elif [ "$suite" = uncertainty ]; then
  mutations=("${uncertainty_mutations[@]}")
  default_target=src/uncertainty/Uncertainty.cpp
  test_target=uncertainty_tests
  test_binary=tests/uncertainty/uncertainty_tests
else
  mutations=("${options_mutations[@]}")
  default_target=src/fmtool/EnvironmentOptions.cpp
  test_target=fmtool_tests
  test_binary=tests/fmtool/fmtool_tests
fi

started=$(date +%s)
echo "mutation check: copying the sources to $copy"
rm -rf "$copy"
mkdir -p "$copy"
git ls-files -co --exclude-standard -z | tar --null -cf - -T - | tar -xmf - -C "$copy"

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$copy" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARROW_GUI=OFF -DVARROW_BENCH=OFF \
  "${launcher[@]}" >"$work/configure.log"
build_and_test() {
  cmake --build "$build" --target "$test_target" >"$work/build.log" 2>&1 || return 2
  timeout 300 "$build/$test_binary" --gtest_brief=1 >"$work/test.log" 2>&1 || return 1
  return 0
}
if ! build_and_test; then
  echo "mutation check: the unchanged $suite code does not pass its tests (see $work)" >&2
  exit 2
fi

tried=0
caught=0
survivors=()
broken=()
for m in "${mutations[@]}"; do
  IFS=$'\t' read -r -d '' old new what target < <(printf '%s\0' "$m") || true
  target=${target:-$default_target}
  original=$(<"$copy/$target")$'\n'
  rest=${original#*"$old"}
  if [[ $rest == "$original" || $rest == *"$old"* ]]; then
    broken+=("$what (its text is not found exactly once)")
    echo "  ??  $what: text not found exactly once"
    continue
  fi
  tried=$((tried + 1))
  printf '%s' "${original/"$old"/"$new"}" >"$copy/$target"
  status=0
  build_and_test || status=$?
  case $status in
    1) caught=$((caught + 1)); echo "  ok  $what" ;;
    0) survivors+=("$what"); echo "  !!  $what: SURVIVED (no $suite test failed)" ;;
    *) broken+=("$what (does not compile)"); echo "  ??  $what: does not compile" ;;
  esac
  printf '%s' "$original" >"$copy/$target"
done
build_and_test || true

elapsed=$(($(date +%s) - started))
echo "mutation check: $tried changes tried, $caught caught, ${#survivors[@]} survived, ${#broken[@]} not applicable; ${elapsed} s"
cd "$root"
if [ ${#survivors[@]} -gt 0 ] || [ ${#broken[@]} -gt 0 ]; then
  exit 1
fi
