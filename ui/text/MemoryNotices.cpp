// The memory line's warnings in the six languages, upper case like the line they replace.
#include "MemoryNotices.h"

namespace vrui {

// No wider than "NO MACHINE MEMORY IN THIS HOST": the line shares the band's title row with the title and the
// Bypass button.
const char* const kMemoryNotices[kNumLangs][kNumMemoryNotices] = {
    {"", "BACKUP FAILED - NOTHING DONE", "NOT SAVED - NOT A FILE", "NOT SAVED - BROKEN LINK",
     "NOT SAVED - DISK REFUSES"},
    {"", "SAUVEGARDE ÉCHOUÉE - RIEN FAIT", "NON SAUVÉE - PAS UN FICHIER", "NON SAUVÉE - LIEN CASSÉ",
     "NON SAUVÉE - DISQUE REFUSE"},
    {"", "SICHERUNG FEHLT - NICHTS GETAN", "NICHT GESICHERT - KEINE DATEI", "NICHT GESICHERT - LINK DEFEKT",
     "NICHT GESICHERT - DISK SPERRT"},
    {"", "COPIA FALLIDA - NADA HECHO", "SIN GUARDAR - NO ES ARCHIVO", "SIN GUARDAR - ENLACE ROTO",
     "SIN GUARDAR - DISCO RECHAZA"},
    {"", "BACKUP FALLITO - NULLA FATTO", "NON SALVATA - NON È UN FILE", "NON SALVATA - LINK ROTTO",
     "NON SALVATA - DISCO RIFIUTA"},
    {"", "CÓPIA FALHOU - NADA FEITO", "NÃO SALVA - NÃO É ARQUIVO", "NÃO SALVA - LINK QUEBRADO",
     "NÃO SALVA - DISCO RECUSA"},
};

const char* memoryNoticeText(Lang lang, int notice) {
  if (notice <= kNoticeNone || notice >= kNumMemoryNotices) return "";
  return kMemoryNotices[lang >= 0 && lang < kNumLangs ? lang : kLangEnglish][notice];
}

}  // namespace vrui
