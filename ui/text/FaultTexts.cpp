// Why the memory is missing, in at most 30 characters: the memory line's monospaced room at the band's right.
#include "FaultTexts.h"

namespace vrui {

// clang-format off
const char* const kFaultLines[kNumLangs][kNumFaultLines] = {
    {nullptr, "NO ACCESS TO THE MEMORY", "MEMORY NAME ALREADY TAKEN", "/dev/shm FULL - NO MEMORY",
     "NO /dev/shm - NO MEMORY"},
    {nullptr, "ACC\xC3\x88S \xC3\x80 LA M\xC3\x89MOIRE REFUS\xC3\x89", "NOM DE M\xC3\x89MOIRE D\xC3\x89J\xC3\x80 PRIS",
     "/dev/shm PLEIN - SANS M\xC3\x89MOIRE", "PAS DE /dev/shm - SANS M\xC3\x89MOIRE"},
    {nullptr, "KEIN ZUGRIFF AUFS GED\xC3\x84" "CHTNIS", "GED\xC3\x84" "CHTNISNAME FREMD BELEGT",
     "/dev/shm VOLL: OHNE GED\xC3\x84" "CHTNIS", "KEIN /dev/shm: OHNE GED\xC3\x84" "CHTNIS"},
    {nullptr, "ACCESO A LA MEMORIA DENEGADO", "NOMBRE DE MEMORIA YA OCUPADO", "/dev/shm LLENO - SIN MEMORIA",
     "NO HAY /dev/shm - SIN MEMORIA"},
    {nullptr, "ACCESSO ALLA MEMORIA NEGATO", "NOME DI MEMORIA GI\xC3\x80 OCCUPATO", "/dev/shm PIENO - SENZA MEMORIA",
     "MANCA /dev/shm - SENZA MEMORIA"},
    {nullptr, "ACESSO \xC3\x80 MEM\xC3\x93RIA RECUSADO", "NOME DA MEM\xC3\x93RIA J\xC3\x81 OCUPADO",
     "/dev/shm CHEIO - SEM MEM\xC3\x93RIA", "SEM /dev/shm - SEM MEM\xC3\x93RIA"},
};
// clang-format on

const char* faultLine(Lang lang, int fault) {
  if (fault <= 0 || fault >= kNumFaultLines) return nullptr;
  return kFaultLines[lang >= 0 && lang < kNumLangs ? lang : 0][fault];
}

}  // namespace vrui
