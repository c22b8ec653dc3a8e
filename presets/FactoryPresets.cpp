// The factory preset table, the one place its values are written down, and what is derived from it.
#include "FactoryPresets.h"

#include "Params.h"

#include <algorithm>
#include <cmath>

namespace vorrel {

// name, subtitle, category, body, exciter, body decay, cutoff, resonance, env amt, sympathy, damper, attack (ms),
// decay (ms), sustain, release (ms), LFO rate, LFO amt, {tiltOffset, stretch, selfExcite, drive}
// clang-format off
const std::array<FactoryPreset, kNumFactoryPresets> kFactoryPresets{{
  {"Init", "", "Init", 0, 2, 143, 2400, 68, 2.8, 25, 30, 12, 400, 70, 900, 0, 0, {0.35, 0, 0, 1.4}},  // 0
  {"Worn threshold", "le pas de porte creusé", "Keys", 4, 1, 596, 3144, 68, 2.8, 32, 0, 12, 400, 70, 900, 0, 0, {0.15, 0, 0, 1.4}},  // 1
  {"Under dust", "un couvercle jamais levé", "Keys", 7, 1, 248, 1872, 68, 2.8, 32, 0, 12, 400, 70, 900, 0, 0, {0.75, 0, 0, 1.4}},  // 2
  {"Nightshift", "l'atelier à trois heures", "Keys", 10, 1, 715, 3144, 68, 2.8, 32, 0, 12, 400, 70, 900, 0, 0, {0.3, 0.3, 0.06, 1.4}},  // 3
  {"Tin roof", "la grêle sur la tôle", "Keys", 10, 3, 714, 6276, 68, 1.8, 32, 0, 12, 400, 70, 900, 0, 0, {0.55, 0, 0, 1.4}},  // 4
  {"Clipped", "coupé net, chaque fois", "Keys", 0, 1, 71, 3144, 68, 2.8, 10, 0, 12, 400, 70, 900, 0, 0, {0.1, 0, 0, 1.4}},  // 5
  {"Schoolroom", "une petite chose en bois", "Keys", 8, 1, 285, 6276, 68, 2.8, 19, 0, 12, 400, 70, 900, 0, 0, {0.35, 0, 0, 1.4}},  // 6
  {"Fire door", "le métal qu'on a claqué", "Keys", 9, 1, 1426, 9408, 68, 2.8, 32, 0, 12, 400, 70, 900, 0, 0, {0.2, 0.4, 0.1, 1.4}},  // 7
  {"Quill", "gratté plus que frappé", "Keys", 0, 1, 267, 4704, 68, 2.8, 24, 0, 12, 400, 70, 900, 0, 0, {0.25, 0, 0, 1.4}},  // 8
  {"Dust on felt", "l'étouffoir qui a vieilli", "Keys", 4, 1, 417, 1572, 68, 2.8, 32, 0, 12, 400, 70, 900, 0, 0, {0.9, 0, 0, 1.4}},  // 9
  {"Hammer scar", "le bois marqué par l'usage", "Keys", 3, 1, 240, 5280, 68, 2.8, 19, 0, 12, 400, 70, 900, 0, 0, {0.05, 0.2, 0, 1.4}},  // 10
  {"Bedrock", "rien ne bouge, en dessous", "Bass", 0, 2, 30, 660, 68, 1.3, 7, 0, 12, 400, 70, 900, 0, 0, {1.2, 0, 0, 1.4}},  // 11
  {"Cellar", "l'air épais d'une cave", "Bass", 7, 0, 75, 984, 68, 0.9, 12, 0, 12, 400, 70, 900, 0, 0, {0.85, 0, 0, 1.4}},  // 12
  {"Silt", "ce qui se dépose au fond", "Bass", 7, 3, 88, 660, 68, 1.8, 12, 0, 12, 400, 70, 900, 0, 0, {0.45, 0, 0.05, 1.4}},  // 13
  {"Ballast", "du poids, rien d'autre", "Bass", 0, 1, 30, 660, 68, 2.8, 7, 0, 12, 400, 70, 900, 0, 0, {0.15, 0, 0, 1.4}},  // 14
  {"Gut string", "pincé, pas frappé", "Bass", 0, 1, 53, 936, 68, 2.8, 9, 0, 12, 400, 70, 900, 0, 0, {0.6, 0, 0, 1.4}},  // 15
  {"Rubber floor", "amorti par construction", "Bass", 6, 1, 24, 780, 68, 2.8, 5, 0, 12, 400, 70, 900, 0, 0, {1, 0, 0, 1.4}},  // 16
  {"Long bow", "tenu jusqu'au bout", "Bass", 0, 2, 150, 1320, 68, 1.3, 12, 0, 12, 400, 70, 900, 0, 0, {0.4, 0, 0, 1.4}},  // 17
  {"Pipe under", "une canalisation qui chante", "Bass", 6, 0, 74, 780, 68, 0.9, 12, 0, 12, 400, 70, 900, 0, 0, {0.5, 0.2, 0, 1.4}},  // 18
  {"Long weather", "trois jours de pluie", "Pads", 5, 0, 179, 3144, 68, 0.9, 41, 0, 12, 400, 70, 900, 0, 0, {0.6, 0, 0, 1.4}},  // 19
  {"Fogbank", "on n'en voit pas le bord", "Pads", 9, 2, 596, 3144, 68, 1.3, 55, 0, 12, 400, 70, 900, 0, 0, {0.1, 0.3, 0.06, 1.4}},  // 20
  {"Held breath", "juste avant de parler", "Pads", 6, 0, 120, 2640, 68, 0.9, 33, 0, 12, 400, 70, 900, 0, 0, {0.8, 0, 0, 1.4}},  // 21
  {"Slow bloom", "ça s'ouvre en une minute", "Pads", 0, 2, 715, 3144, 68, 1.3, 55, 0, 12, 400, 70, 900, 0, 0, {0.4, 0, 0.12, 1.4}},  // 22
  {"Deep shelf", "au fond, sans lumière", "Pads", 6, 3, 178, 1176, 68, 1.8, 55, 0, 12, 400, 70, 900, 0, 0, {1.1, 0, 0, 1.4}},  // 23
  {"Tape haze", "la bande a pris l'humidité", "Pads", 0, 0, 238, 3144, 68, 0.9, 55, 0, 12, 400, 70, 900, 0, 0, {0.65, 0.4, 0, 1.4}},  // 24
  {"Open window", "le vent traverse", "Pads", 5, 0, 89, 2352, 68, 0.9, 28, 0, 12, 400, 70, 900, 0, 0, {0.9, 0, 0, 1.4}},  // 25
  {"Cathedral air", "le volume avant le son", "Pads", 2, 2, 536, 1572, 68, 1.3, 55, 0, 12, 400, 70, 900, 0, 0, {0.25, 0.2, 0.08, 1.4}},  // 26
  {"Lighthouse", "un signal, toutes les huit secondes", "Leads", 0, 2, 357, 4704, 68, 1.3, 20, 0, 12, 400, 70, 900, 0, 0, {0.35, 0, 0, 1.4}},  // 27
  {"Aerial", "l'antenne dans le vent", "Leads", 9, 3, 1905, 11000, 68, 1.8, 20, 0, 12, 400, 70, 900, 0, 0, {0.05, 0.6, 0.1, 1.4}},  // 28
  {"Reed whistle", "trop d'air pour le tuyau", "Leads", 6, 0, 178, 4704, 68, 0.9, 10, 0, 12, 400, 70, 900, 0, 0, {0.7, 0, 0, 1.4}},  // 29
  {"Cutting", "sans rien autour", "Leads", 0, 1, 240, 7908, 68, 2.8, 8, 0, 12, 400, 70, 900, 0, 0, {0, 0, 0, 1.4}},  // 30
  {"Far siren", "deux rues plus loin", "Leads", 5, 0, 535, 9408, 68, 0.9, 15, 0, 12, 400, 70, 900, 0, 0, {0.5, 0.3, 0, 1.4}},  // 31
  {"Cracked bell", "elle sonne encore, de travers", "Leads", 2, 1, 714, 6276, 68, 2.8, 20, 0, 12, 400, 70, 900, 0, 0, {0.2, 0.8, 0.14, 1.4}},  // 32
  {"Filament", "un fil chauffé à blanc", "Leads", 0, 2, 749, 7908, 68, 1.3, 20, 0, 12, 400, 70, 900, 0, 0, {0.1, 0.4, 0, 1.4}},  // 33
  {"Small stones", "jetées une par une", "Plucked & struck", 0, 1, 178, 2352, 68, 2.8, 28, 0, 12, 400, 70, 900, 0, 0, {0.8, 0, 0, 1.4}},  // 34
  {"Long pluck", "la corde met du temps", "Plucked & struck", 0, 1, 179, 1572, 68, 2.8, 28, 0, 12, 400, 70, 900, 0, 0, {0.45, 0, 0, 1.4}},  // 35
  {"Thumb", "sans médiator", "Plucked & struck", 10, 1, 500, 5280, 68, 2.8, 28, 0, 12, 400, 70, 900, 0, 0, {0.3, 0, 0, 1.4}},  // 36
  {"Dry wood", "il a séché trop vite", "Plucked & struck", 8, 1, 119, 3144, 68, 2.8, 14, 0, 12, 400, 70, 900, 0, 0, {0.55, 0, 0, 1.4}},  // 37
  {"Cold steel", "resté dehors l'hiver", "Plucked & struck", 8, 2, 1426, 4704, 68, 1.3, 28, 0, 12, 400, 70, 900, 0, 0, {0.1, 0.2, 0.06, 1.4}},  // 38
  {"Music room", "une boîte oubliée", "Plucked & struck", 10, 1, 1905, 11000, 68, 2.8, 28, 0, 12, 400, 70, 900, 0, 0, {0.25, 0, 0, 1.4}},  // 39
  {"Spun glass", "ça tourne et ça chante", "Plucked & struck", 9, 2, 1499, 7908, 68, 1.3, 28, 0, 12, 400, 70, 900, 0, 0, {0.15, 0.5, 0.08, 1.4}},  // 40
  {"Wire brush", "effleuré, pas joué", "Plucked & struck", 1, 1, 150, 2640, 68, 2.8, 21, 0, 12, 400, 70, 900, 0, 0, {0.35, 0, 0, 1.4}},  // 41
  {"Floorboard", "quelqu'un marche au-dessus", "Percussion", 1, 1, 20, 1176, 68, 2.8, 1, 0, 12, 400, 70, 900, 0, 0, {0.95, 0, 0, 1.4}},  // 42
  {"Foundry", "le métal tombe sur le métal", "Percussion", 9, 1, 1427, 6276, 68, 2.8, 5, 0, 12, 400, 70, 900, 0, 0, {0.05, 0.4, 0.12, 1.4}},  // 43
  {"Hollow log", "creux, et on l'entend", "Percussion", 8, 1, 89, 2352, 68, 2.8, 2, 0, 12, 400, 70, 900, 0, 0, {0.7, 0, 0, 1.4}},  // 44
  {"Knuckle", "sur une porte fermée", "Percussion", 1, 1, 15, 1572, 68, 2.8, 1, 0, 12, 400, 70, 900, 0, 0, {0.2, 0, 0, 1.4}},  // 45
  {"Handful", "tout lâché d'un coup", "Percussion", 1, 1, 160, 5280, 68, 2.8, 2, 0, 12, 400, 70, 900, 0, 0, {0.15, 0.3, 0, 1.4}},  // 46
  {"Anvil", "ça ne bouge pas d'un pouce", "Percussion", 9, 1, 298, 3144, 68, 2.8, 5, 0, 12, 400, 70, 900, 0, 0, {0, 0.6, 0.1, 1.4}},  // 47
  {"Doorframe", "le bois plus vieux que la maison", "Percussion", 8, 1, 120, 1764, 68, 2.8, 4, 0, 12, 400, 70, 900, 0, 0, {0.6, 0.2, 0, 1.4}},  // 48
  {"Left outside", "une saison entière", "Textures", 9, 3, 357, 3144, 68, 1.8, 55, 0, 12, 400, 70, 900, 0, 0, {0.25, 0.4, 0.08, 1.4}},  // 49
  {"Tideline", "la limite que l'eau a tracée", "Textures", 1, 0, 446, 2352, 68, 0.9, 55, 0, 12, 400, 70, 900, 0, 0, {0.85, 0, 0, 1.4}},  // 50
  {"Empty belfry", "on a retiré la cloche", "Textures", 2, 2, 1192, 3144, 68, 1.3, 55, 0, 12, 400, 70, 900, 0, 0, {0.15, 0.3, 0.06, 1.4}},  // 51
  {"Toast", "on frappe le verre pour parler", "Textures", 9, 3, 1426, 9408, 68, 1.8, 55, 0, 12, 400, 70, 900, 0, 0, {0, 0.7, 0.14, 1.4}},  // 52
  {"Sanded down", "poncé jusqu'au bois nu", "Textures", 5, 0, 283, 7464, 68, 0.9, 28, 0, 12, 400, 70, 900, 0, 0, {0.45, 0, 0, 1.4}},  // 53
  {"Two rooms away", "on entend sans comprendre", "Textures", 6, 2, 426, 1872, 68, 1.3, 55, 0, 12, 400, 70, 900, 0, 0, {1, 0, 0, 1.4}},  // 54
  {"Rust bloom", "ça continue de pousser", "Textures", 1, 3, 700, 5280, 68, 1.8, 55, 0, 12, 400, 70, 900, 0, 0, {0.2, 0.5, 0.16, 1.4}},  // 55
  {"Old radiator", "il chante quand il chauffe", "Textures", 6, 0, 267, 1764, 68, 0.9, 55, 0, 12, 400, 70, 900, 0, 0, {0.35, 0.6, 0.1, 1.4}},  // 56
  {"Salt air", "tout finit par s'user ici", "Textures", 1, 0, 298, 3144, 68, 0.9, 55, 0, 12, 400, 70, 900, 0, 0, {0.7, 0.3, 0, 1.4}},  // 57
  {"Under the pier", "l'eau, le bois, le vide", "Textures", 6, 3, 224, 984, 68, 1.8, 55, 0, 12, 400, 70, 900, 0, 0, {0.95, 0.2, 0.06, 1.4}},  // 58
  {"Kiln", "ce qui reste après la cuisson", "Textures", 2, 0, 700, 2640, 68, 0.9, 55, 0, 12, 400, 70, 900, 0, 0, {0.1, 0.5, 0.12, 1.4}},  // 59
  {"Last one out", "la pièce continue de sonner", "Textures", 9, 2, 802, 2352, 68, 1.3, 55, 0, 12, 400, 70, 900, 0, 0, {0.3, 0.2, 0.1, 1.4}},  // 60
  {"Sinkhole", "le sol qui cède", "Machines", 0, 4, 17, 165, 90, 1.2, 10, 0, 6, 250, 75, 250, 0, 0, {0.15, 0, 0, 4}},  // 61
  {"Nightbus", "le moteur au ralenti", "Machines", 6, 4, 22, 240, 70, 1, 8, 0, 6, 250, 75, 250, 0, 0, {0.6, 0, 0, 6}},  // 62
  {"Alarm", "trois heures du matin", "Machines", 0, 4, 40, 660, 145, 5, 12, 0, 6, 250, 75, 250, 0, 0, {0.1, 0, 0, 3}},  // 63
  {"Filed down", "le métal qu'on lime", "Machines", 8, 5, 375, 4620, 132, 2, 20, 0, 6, 250, 75, 250, 0, 0, {0.05, 2.4, 0, 5}},  // 64
  {"Vacuum", "l'espace entre deux stations", "Machines", 2, 0, 780, 1560, 30, 0.5, 60, 0, 12, 400, 70, 900, 0, 0, {0.05, 2.8, 0, 1}},  // 65
  {"Swarm cell", "mille petites choses", "Machines", 9, 3, 3000, 11000, 40, 0, 50, 0, 12, 400, 70, 900, 0, 0, {0, 3, 0, 1}},  // 66
  {"Jaw", "ça mâche", "Machines", 0, 4, 60, 246, 138, 0, 10, 0, 6, 250, 75, 250, 2.6, 3.2, {0.15, 0, 0, 5}},  // 67
  {"Mouthpiece", "quelqu'un parle derrière la porte", "Machines", 0, 5, 60, 880, 90, 0, 15, 0, 6, 250, 75, 250, 5.5, 2.4, {0.2, 0.4, 0, 4}},  // 68
  {"Pressure drop", "la cabine qui se dépressurise", "Machines", 5, 0, 236, 1200, 80, 3.5, 45, 0, 12, 400, 70, 900, 0.4, 2.8, {0.3, 1.6, 0, 2.2}},  // 69
  {"Rebar", "l'armature qu'on frappe", "Machines", 10, 5, 89, 2600, 88, 2.4, 18, 0, 6, 250, 75, 250, 0, 0, {0.1, 1.8, 0, 4.5}},  // 70
  {"Ionosphere", "ce qui rebondit sur le ciel", "Machines", 1, 3, 3000, 11000, 55, 0, 60, 0, 12, 400, 70, 900, 0.25, 1.6, {0, 2.2, 0, 1.2}},  // 71
  {"Bad tape", "la bande qui a trop servi", "Machines", 7, 4, 75, 720, 75, 1.6, 25, 0, 6, 250, 75, 250, 1.1, 1.2, {0.85, 0.6, 0, 3.2}},  // 72
  {"Wire coil", "l'enroulement sous tension", "Keys", 10, 4, 477, 2100, 62, 3.2, 30, 0, 6, 250, 75, 250, 0, 0, {0.35, 0.2, 0, 1.8}},  // 73
  {"Ledger", "la colonne de chiffres", "Keys", 0, 5, 165, 2300, 74, 4, 16, 0, 6, 250, 75, 250, 0, 0, {0.55, 0, 0, 2.2}},  // 74
  {"Undertow", "le courant qu'on ne voit pas", "Bass", 5, 4, 53, 340, 66, 1.8, 12, 0, 6, 250, 75, 250, 0, 0, {0.5, 0.3, 0, 2.6}},  // 75
  {"Ferry", "la coque contre le quai", "Bass", 1, 5, 39, 400, 58, 1.4, 10, 0, 6, 250, 75, 250, 0, 0, {0.7, 0.5, 0, 3}},  // 76
  {"Slow tide", "l'eau qui monte sans bruit", "Pads", 6, 4, 602, 1400, 44, 1, 55, 0, 6, 250, 75, 250, 0, 0, {0.25, 0.9, 0, 1.3}},  // 77
  {"Greenhouse", "la chaleur sous le verre", "Pads", 9, 5, 700, 1900, 50, 1.6, 52, 0, 6, 250, 75, 250, 0, 0, {0.15, 1.4, 0, 1.5}},  // 78
  {"Signal fire", "on répond de l'autre colline", "Leads", 0, 4, 321, 2600, 80, 3.4, 20, 0, 6, 250, 75, 250, 0, 0, {0.2, 0, 0, 2.4}},  // 79
  {"Reed switch", "le contact qui se ferme", "Leads", 8, 5, 285, 3200, 76, 2.8, 15, 0, 6, 250, 75, 250, 0, 0, {0.3, 0.7, 0, 2}},  // 80
  {"Bowstring", "juste avant de lâcher", "Plucked & struck", 0, 4, 71, 1250, 70, 4.2, 24, 0, 6, 250, 75, 250, 0, 0, {0.45, 0, 0, 2.2}},  // 81
  {"Shutter", "le volet qu'on rabat", "Plucked & struck", 4, 5, 107, 1800, 66, 3.6, 14, 0, 6, 250, 75, 250, 0, 0, {0.6, 0.4, 0, 2.6}},  // 82
  {"Long field", "le champ après la moisson", "Textures", 3, 4, 3000, 5000, 40, 0.8, 55, 0, 6, 250, 75, 250, 0, 0, {0.1, 1.1, 0, 1.2}},  // 83
  {"Substation", "le bourdon derrière la clôture", "Textures", 5, 5, 579, 780, 52, 0.6, 50, 0, 6, 250, 75, 250, 0, 0, {0.2, 1.7, 0, 1.6}},  // 84
}};
// clang-format on

int presetIndexByName(const std::string& name) {
  if (name.empty()) return -1;
  for (int i = 0; i < kNumFactoryPresets; ++i)
    if (name == kFactoryPresets[static_cast<size_t>(i)].name) return i;
  return -1;
}

void factoryPresetValues(const FactoryPreset& p, PresetValues& values, PresetHas& has) {
  values.fill(0.0);
  has.fill(false);
  auto put = [&](int idx, double v) {
    values[static_cast<size_t>(idx)] = v;
    has[static_cast<size_t>(idx)] = true;
  };
  put(kBody, p.body);
  put(kExciter, p.exciter);
  put(kBodyDecay, p.bodyDecay);
  put(kCutoff, p.cutoff);
  put(kResonance, p.resonance);
  put(kEnvAmt, p.envAmt);
  put(kSympathy, p.sympathy);
  put(kDamper, p.damper);
  put(kAttack, p.attack);
  put(kDecay, p.decay);
  put(kSustain, p.sustain);
  put(kRelease, p.release);
  put(kLfoRate, p.lfoRate);
  put(kLfoAmt, p.lfoAmt);
}

namespace {

struct ExtraSpan {
  TrackExtraValues lo;
  TrackExtraValues hi;
};

// Built once from the table, so the clamp follows the table if a row changes.
const ExtraSpan& extraSpan() {
  static const ExtraSpan span = [] {
    ExtraSpan s{kDefaultExtras, kDefaultExtras};
    for (const auto& p : kFactoryPresets)
      for (size_t i = 0; i < kNumExtras; ++i) {
        s.lo[i] = std::min(s.lo[i], p.extras[i]);
        s.hi[i] = std::max(s.hi[i], p.extras[i]);
      }
    return s;
  }();
  return span;
}

}  // namespace

double trackExtraMin(int i) { return extraSpan().lo[static_cast<size_t>(std::clamp(i, 0, kNumExtras - 1))]; }
double trackExtraMax(int i) { return extraSpan().hi[static_cast<size_t>(std::clamp(i, 0, kNumExtras - 1))]; }

void clampTrackExtras(TrackExtraValues& extras) {
  const ExtraSpan& s = extraSpan();
  for (size_t i = 0; i < kNumExtras; ++i)
    extras[i] = std::isfinite(extras[i]) ? std::clamp(extras[i], s.lo[i], s.hi[i]) : kDefaultExtras[i];
}

}  // namespace vorrel
