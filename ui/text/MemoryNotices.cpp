// The memory line's warnings in the six languages, upper case like the line they replace.
#include "MemoryNotices.h"

namespace vrui {

const char* const kMemoryNotices[kNumLangs][kNumMemoryNotices] = {
    {"", "NO BACKUP POSSIBLE - NOTHING CHANGED", "NOT SAVED - MEMORY.BIN IS NOT A FILE", "NOT SAVED - BROKEN LINK",
     "NOT SAVED - DISK REFUSES"},
    {"", "SAUVEGARDE IMPOSSIBLE - RIEN CHANGÉ", "NON ENREGISTRÉE - MEMORY.BIN N'EST PAS UN FICHIER",
     "NON ENREGISTRÉE - LIEN CASSÉ", "NON ENREGISTRÉE - DISQUE REFUSE"},
    {"", "KEINE SICHERUNG - NICHTS GEÄNDERT", "NICHT GESICHERT - MEMORY.BIN IST KEINE DATEI",
     "NICHT GESICHERT - LINK DEFEKT", "NICHT GESICHERT - DATENTRÄGER VERWEIGERT"},
    {"", "COPIA IMPOSIBLE - NADA CAMBIADO", "SIN GUARDAR - MEMORY.BIN NO ES UN ARCHIVO", "SIN GUARDAR - ENLACE ROTO",
     "SIN GUARDAR - EL DISCO RECHAZA"},
    {"", "BACKUP IMPOSSIBILE - NIENTE CAMBIATO", "NON SALVATA - MEMORY.BIN NON È UN FILE", "NON SALVATA - LINK ROTTO",
     "NON SALVATA - IL DISCO RIFIUTA"},
    {"", "CÓPIA IMPOSSÍVEL - NADA MUDOU", "NÃO SALVA - MEMORY.BIN NÃO É UM ARQUIVO", "NÃO SALVA - LINK QUEBRADO",
     "NÃO SALVA - O DISCO RECUSA"},
};

const char* memoryNoticeText(Lang lang, int notice) {
  if (notice <= kNoticeNone || notice >= kNumMemoryNotices) return "";
  return kMemoryNotices[lang >= 0 && lang < kNumLangs ? lang : kLangEnglish][notice];
}

}  // namespace vrui
