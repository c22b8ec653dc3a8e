// The hint bar's texts by slot, in the six panel languages; slot 25 is unused and stays empty.
#include "Texts.h"

namespace vrui {

// clang-format off
const char* const kHints[kNumLangs][kNumHints] = {
    // English
    {
        "The memory: one sector per note, the lines across are the intervals you played. Click a sector to see what it does to the sound.",  // 0
        "Hold two notes: the interval between them is what gets remembered. Click higher on a key to press harder.",  // 1
        "Keep a copy of the MEMORY inside this project - not the knobs. The live memory goes on changing; this copy never moves again.",  // 2
        "Erase the machine's memory. If you had played on it, a backup lands in Your memories first. Asks twice.",  // 3
        "Click again to erase. What you played is backed up first, into Your memories; settings stay.",  // 4
        "Hold to hear the instrument with no memory at all.",  // 5
        "What counts as pressing on a note: how hard and how long you hold the key, or your MPE controller's pressure.",  // 6
        "Load a memory: one someone else carved, or one of yours. The current one is backed up first.",  // 7
        "Load this memory - it REPLACES the one every instance shares. The current one is backed up first, into Your memories.",  // 8
        "Load this memory - every instance plays it. The current one is backed up first.",  // 9
        "Delete this saved memory. Asks twice; the live memory is untouched.",  // 10
        "Click again to delete this memory file. The machine's live memory is untouched.",  // 11
        "Save the current memory under a name, to load back later in any project.",  // 12
        "Make the instrument remember and forget faster, to try things out. x1 is real time.",  // 13
        "Two slots for this track's sound and the memory settings. Leaving a slot keeps what you leave.",  // 14
        "Undo (Ctrl+Z) - every knob and setting. What you played is not undone: the memory is history, not a setting.",  // 15
        "Redo (Ctrl+Shift+Z).",  // 16
        "A preset is this track's sound only. The memory is shared by every instance and never travels in a preset.",  // 17
        "Let MIDI Program Change pick presets by number. Never a memory: that would replace what every instance shares.",  // 18
        "Categories filter the list. Program Change numbers never move.",  // 19
        "Save this track's sound under a name. It lands in Yours, available to every instance on this machine.",  // 20
        "Rename this preset. Projects and Program Change follow the new name.",  // 21
        "Delete this preset. Asks twice.",  // 22
        "Click again to delete. Deleting never changes the sound.",  // 23
        "The track name comes from the DAW. Rewrite it, or empty it to get the DAW name back.",  // 24
        "",  // 25
        "Drag to resize - 70 to 320 %. The size is yours: it survives reopening and travels with the project.",  // 26
        "This host resizes the window itself - the grip stays quiet here.",  // 27
        "Which object rings: string, bell, plate... Each has its own overtones, and takes the memory at its own measured dose, so 62 % means the same thing on every body.",  // 28
        "Nothing carved yet. Vorrel plays what it receives - a keyboard, or a MIDI clip on this track - and every interval you play wears its sound a little more.",  // 29
        "Imprint and Sympathy are at 0: this track plays the plain instrument. Turn either up to hear what you carved.",  // 30
        "The memory colours the tone, but nothing answers your melody yet. Turn Sympathy up to hear the carved intervals ring.",  // 31
        "Language of these hints. Click to change - the choice is kept for every instance on this machine.",  // 32
        "Hold two notes - ",  // 33
        "the interval is what gets carved",  // 34
        " · higher on the key = harder · ",  // 35
        "drag while holding to lean on it",  // 36
        "Hold two notes on the keyboard - the interval between them is what gets carved.",  // 37
        "First time here: the memory lives in real time - it wears in over days, like a real instrument. Set Speed to x100 at the top to hear it now.",  // 38
        "Previous and next preset, without opening the list. Same order as Program Change; your own come after the 85.",  // 39
        "This host blocks the machine memory: nothing is being carved or shared. The instrument still plays, and the project snapshot still works.",  // 40
        "Take the tour again: a card moves beside each control and says, in a line, what it is for.",  // 41
        "Nothing will move until the other half is up: LFO rate and LFO amt only work together.",  // 42
    },
    // French
    {
        "La mémoire : un secteur par note, les traits qui la traversent sont vos intervalles. Cliquez un secteur pour voir son effet sur le son.",  // 0
        "Tenez deux notes : c'est l'intervalle entre elles qui est retenu. Cliquez plus haut sur une touche pour appuyer plus fort.",  // 1
        "Garde une copie de la MÉMOIRE dans ce projet - pas des réglages. La mémoire vive continue d'évoluer ; cette copie ne bouge plus.",  // 2
        "Efface la mémoire de la machine. Si vous y aviez joué, une sauvegarde va d'abord dans Your memories. Demande deux fois.",  // 3
        "Cliquez encore pour effacer. Votre jeu est d'abord sauvegardé dans Your memories ; les réglages restent.",  // 4
        "Maintenez pour entendre l'instrument sans aucune mémoire.",  // 5
        "Ce qui compte comme appui sur une note : la force et la durée de la touche tenue, ou la pression de votre contrôleur MPE.",  // 6
        "Charger une mémoire : gravée par quelqu'un d'autre, ou l'une des vôtres. L'actuelle est d'abord sauvegardée.",  // 7
        "Charger cette mémoire - elle REMPLACE celle que partagent toutes les instances. L'actuelle est sauvegardée dans Your memories.",  // 8
        "Charger cette mémoire - toutes les instances la jouent. L'actuelle est d'abord sauvegardée.",  // 9
        "Supprimer cette mémoire enregistrée. Demande deux fois ; la mémoire vive n'est pas touchée.",  // 10
        "Cliquez encore pour supprimer ce fichier de mémoire. La mémoire vive de la machine n'est pas touchée.",  // 11
        "Enregistrer la mémoire actuelle sous un nom, pour la recharger plus tard dans n'importe quel projet.",  // 12
        "L'instrument retient et oublie plus vite, pour faire des essais. x1 est le temps réel.",  // 13
        "Deux emplacements pour le son de cette piste et les réglages de mémoire. En quitter un garde ce que vous y laissez.",  // 14
        "Annuler (Ctrl+Z) - chaque bouton et réglage. Ce que vous avez joué reste : la mémoire est une histoire, pas un réglage.",  // 15
        "Rétablir (Ctrl+Maj+Z).",  // 16
        "Un preset, c'est seulement le son de cette piste. La mémoire est partagée par toutes les instances et ne voyage jamais dans un preset.",  // 17
        "Le Program Change MIDI choisit les presets par numéro. Jamais une mémoire : elle remplacerait celle de toutes les instances.",  // 18
        "Les catégories filtrent la liste. Les numéros de Program Change ne changent jamais.",  // 19
        "Enregistrer le son de cette piste sous un nom. Il arrive dans Yours, pour toutes les instances de cette machine.",  // 20
        "Renommer ce preset. Les projets et le Program Change suivent le nouveau nom.",  // 21
        "Supprimer ce preset. Demande deux fois.",  // 22
        "Cliquez encore pour supprimer. Supprimer ne change jamais le son.",  // 23
        "Le nom de piste vient de la DAW. Réécrivez-le, ou videz-le pour retrouver celui de la DAW.",  // 24
        "",  // 25
        "Faites glisser pour redimensionner - 70 à 320 %. La taille vous appartient : elle reste à la réouverture et suit le projet.",  // 26
        "Cet hôte redimensionne lui-même la fenêtre - la poignée reste inactive ici.",  // 27
        "L'objet qui résonne : corde, cloche, plaque... Chacun a ses harmoniques et sa dose mesurée : 62 % veut dire la même chose partout.",  // 28
        "Rien de gravé encore. Vorrel joue ce qu'il reçoit - un clavier ou un clip MIDI sur cette piste - et chaque intervalle joué patine son son.",  // 29
        "Imprint et Sympathy sont à 0 : cette piste joue l'instrument nu. Montez l'un des deux pour entendre ce que vous avez gravé.",  // 30
        "La mémoire colore le timbre, mais rien ne répond encore à votre mélodie. Montez Sympathy pour entendre sonner vos intervalles.",  // 31
        "Langue de ces aides. Cliquez pour changer - le choix vaut pour toutes les instances de cette machine.",  // 32
        "Tenez deux notes - ",  // 33
        "c'est l'intervalle qui se grave",  // 34
        " · plus haut sur la touche = plus fort · ",  // 35
        "glissez en tenant pour appuyer",  // 36
        "Tenez deux notes au clavier - c'est l'intervalle entre elles qui se grave.",  // 37
        "Première visite : la mémoire vit en temps réel et se patine en jours, comme un vrai instrument. Speed sur x100, en haut, pour l'entendre.",  // 38
        "Preset précédent et suivant, sans ouvrir la liste. Même ordre que le Program Change ; les vôtres viennent après les 85.",  // 39
        "Cet hôte bloque la mémoire de la machine : rien n'est gravé ni partagé. L'instrument joue toujours, et l'instantané du projet marche.",  // 40
        "Refaire la visite : une carte se place à côté de chaque commande et dit, en une ligne, à quoi elle sert.",  // 41
        "Rien ne bouge sans l'autre moitié : LFO rate et LFO amt vont ensemble.",  // 42
    },
    // German
    {
        "Das Gedächtnis: ein Sektor pro Note, die Linien quer sind deine gespielten Intervalle. Klick auf einen Sektor, um seine Wirkung zu sehen.",  // 0
        "Halte zwei Noten: das Intervall dazwischen wird gemerkt. Weiter oben auf die Taste klicken heißt fester drücken.",  // 1
        "Behält eine Kopie des GEDÄCHTNISSES im Projekt - nicht der Regler. Das lebende Gedächtnis ändert sich weiter; diese Kopie nie mehr.",  // 2
        "Löscht das Gedächtnis der Maschine. Wenn du darauf gespielt hast, landet zuerst ein Backup in Your memories. Fragt zweimal.",  // 3
        "Noch einmal klicken zum Löschen. Dein Spiel wird vorher in Your memories gesichert; die Einstellungen bleiben.",  // 4
        "Halten, um das Instrument ganz ohne Gedächtnis zu hören.",  // 5
        "Was als Druck auf eine Note zählt: wie fest und wie lange du die Taste hältst, oder der Druck deines MPE-Controllers.",  // 6
        "Ein Gedächtnis laden: von jemand anderem eingraviert oder eines deiner eigenen. Das aktuelle wird vorher gesichert.",  // 7
        "Dieses Gedächtnis laden - es ERSETZT das, was alle Instanzen teilen. Das aktuelle wird vorher in Your memories gesichert.",  // 8
        "Dieses Gedächtnis laden - alle Instanzen spielen es. Das aktuelle wird vorher gesichert.",  // 9
        "Dieses gespeicherte Gedächtnis löschen. Fragt zweimal; das lebende Gedächtnis bleibt unberührt.",  // 10
        "Noch einmal klicken, um diese Gedächtnisdatei zu löschen. Das lebende Gedächtnis der Maschine bleibt unberührt.",  // 11
        "Das aktuelle Gedächtnis unter einem Namen sichern, um es später in jedem Projekt zu laden.",  // 12
        "Lässt das Instrument schneller behalten und vergessen, zum Ausprobieren. x1 ist Echtzeit.",  // 13
        "Zwei Plätze für den Klang dieser Spur und die Gedächtnis-Einstellungen. Beim Wechseln bleibt, was du zurücklässt.",  // 14
        "Rückgängig (Strg+Z) - jeder Regler, jede Einstellung. Dein Spiel bleibt: das Gedächtnis ist Geschichte, keine Einstellung.",  // 15
        "Wiederholen (Strg+Umschalt+Z).",  // 16
        "Ein Preset ist nur der Klang dieser Spur. Das Gedächtnis teilen alle Instanzen, und es reist nie in einem Preset mit.",  // 17
        "MIDI Program Change wählt Presets nach Nummer. Nie ein Gedächtnis: das würde ersetzen, was alle Instanzen teilen.",  // 18
        "Kategorien filtern die Liste. Program-Change-Nummern ändern sich nie.",  // 19
        "Den Klang dieser Spur unter einem Namen sichern. Er landet in Yours, für jede Instanz auf dieser Maschine.",  // 20
        "Dieses Preset umbenennen. Projekte und Program Change folgen dem neuen Namen.",  // 21
        "Dieses Preset löschen. Fragt zweimal.",  // 22
        "Noch einmal klicken zum Löschen. Löschen ändert nie den Klang.",  // 23
        "Der Spurname kommt von der DAW. Überschreib ihn, oder leere ihn, um den DAW-Namen zurückzubekommen.",  // 24
        "",  // 25
        "Ziehen zum Skalieren - 70 bis 320 %. Die Größe gehört dir: sie bleibt beim Wiederöffnen und reist mit dem Projekt.",  // 26
        "Dieser Host skaliert das Fenster selbst - der Griff bleibt hier still.",  // 27
        "Welches Objekt klingt: Saite, Glocke, Platte... Jedes hat eigene Obertöne und seine gemessene Dosis: 62 % heißt überall dasselbe.",  // 28
        "Noch nichts eingraviert. Vorrel spielt, was ankommt - Tastatur oder MIDI-Clip dieser Spur - und jedes Intervall prägt den Klang mehr.",  // 29
        "Imprint und Sympathy stehen auf 0: diese Spur spielt das reine Instrument. Dreh eins davon auf, um dein Eingraviertes zu hören.",  // 30
        "Das Gedächtnis färbt den Ton, doch noch antwortet nichts auf deine Melodie. Dreh Sympathy auf, um die Intervalle klingen zu hören.",  // 31
        "Sprache dieser Hinweise. Klicken zum Wechseln - die Wahl gilt für alle Instanzen auf dieser Maschine.",  // 32
        "Halte zwei Noten - ",  // 33
        "das Intervall wird eingraviert",  // 34
        " · weiter oben auf der Taste = fester · ",  // 35
        "beim Halten ziehen zum Andrücken",  // 36
        "Halte zwei Noten auf der Tastatur - das Intervall dazwischen wird eingraviert.",  // 37
        "Zum ersten Mal hier: das Gedächtnis lebt in Echtzeit und prägt sich über Tage ein, wie ein echtes Instrument. Speed oben auf x100 zum Hören.",  // 38
        "Vorheriges und nächstes Preset, ohne die Liste zu öffnen. Reihenfolge wie bei Program Change; deine eigenen nach den 85.",  // 39
        "Dieser Host sperrt das Maschinengedächtnis: nichts wird eingraviert oder geteilt. Das Instrument spielt, der Projekt-Schnappschuss geht.",  // 40
        "Die Tour noch einmal: eine Karte wandert zu jedem Bedienelement und sagt in einer Zeile, wozu es dient.",  // 41
        "Nur gemeinsam bewegen LFO rate und LFO amt etwas - dreh beide auf.",  // 42
    },
    // Spanish
    {
        "La memoria: un sector por nota, las líneas que la cruzan son los intervalos que tocaste. Haz clic en un sector para ver su efecto.",  // 0
        "Mantén dos notas: se recuerda el intervalo entre ellas. Haz clic más arriba en una tecla para pulsar más fuerte.",  // 1
        "Guarda una copia de la MEMORIA en este proyecto - no de los controles. La memoria viva sigue cambiando; esta copia ya no se mueve.",  // 2
        "Borra la memoria de la máquina. Si habías tocado en ella, antes va una copia a Your memories. Pregunta dos veces.",  // 3
        "Haz clic otra vez para borrar. Lo que tocaste se copia antes en Your memories; los ajustes se quedan.",  // 4
        "Mantén pulsado para oír el instrumento sin ninguna memoria.",  // 5
        "Qué cuenta como presión sobre una nota: la fuerza y el tiempo que mantienes la tecla, o la presión de tu controlador MPE.",  // 6
        "Carga una memoria: una que talló otra persona, o una tuya. La actual se copia antes.",  // 7
        "Cargar esta memoria - SUSTITUYE la que comparten todas las instancias. La actual se copia antes en Your memories.",  // 8
        "Cargar esta memoria - todas las instancias la tocan. La actual se copia antes.",  // 9
        "Borrar esta memoria guardada. Pregunta dos veces; la memoria viva no se toca.",  // 10
        "Haz clic otra vez para borrar este archivo de memoria. La memoria viva de la máquina no se toca.",  // 11
        "Guarda la memoria actual con un nombre, para cargarla luego en cualquier proyecto.",  // 12
        "Hace que el instrumento recuerde y olvide más rápido, para probar. x1 es tiempo real.",  // 13
        "Dos ranuras para el sonido de esta pista y los ajustes de memoria. Al dejar una ranura se guarda lo que dejas.",  // 14
        "Deshacer (Ctrl+Z) - cada control y ajuste. Lo que tocaste no se deshace: la memoria es historia, no un ajuste.",  // 15
        "Rehacer (Ctrl+Mayús+Z).",  // 16
        "Un preset es solo el sonido de esta pista. La memoria la comparten todas las instancias y nunca viaja en un preset.",  // 17
        "Deja que el Program Change MIDI elija presets por número. Nunca una memoria: sustituiría la que comparten todas las instancias.",  // 18
        "Las categorías filtran la lista. Los números de Program Change nunca cambian.",  // 19
        "Guarda el sonido de esta pista con un nombre. Va a Yours, disponible para todas las instancias de esta máquina.",  // 20
        "Renombra este preset. Los proyectos y el Program Change siguen el nuevo nombre.",  // 21
        "Borrar este preset. Pregunta dos veces.",  // 22
        "Haz clic otra vez para borrar. Borrar nunca cambia el sonido.",  // 23
        "El nombre de la pista viene del DAW. Reescríbelo, o vacíalo para recuperar el nombre del DAW.",  // 24
        "",  // 25
        "Arrastra para cambiar el tamaño - de 70 a 320 %. El tamaño es tuyo: sobrevive al reabrir y viaja con el proyecto.",  // 26
        "Este host cambia el tamaño de la ventana por sí mismo - aquí el tirador no hace nada.",  // 27
        "Qué objeto suena: cuerda, campana, placa... Cada uno tiene sus armónicos y su dosis medida: 62 % significa lo mismo en todos.",  // 28
        "Nada tallado aún. Vorrel toca lo que recibe - un teclado o un clip MIDI en esta pista - y cada intervalo que tocas desgasta su sonido.",  // 29
        "Imprint y Sympathy están a 0: esta pista toca el instrumento desnudo. Sube cualquiera de los dos para oír lo que tallaste.",  // 30
        "La memoria colorea el tono, pero aún nada responde a tu melodía. Sube Sympathy para oír sonar los intervalos tallados.",  // 31
        "Idioma de estas ayudas. Haz clic para cambiarlo - la elección vale para todas las instancias de esta máquina.",  // 32
        "Mantén dos notas - ",  // 33
        "el intervalo es lo que se talla",  // 34
        " · más arriba en la tecla = más fuerte · ",  // 35
        "arrastra al mantener para apretar",  // 36
        "Mantén dos notas en el teclado - el intervalo entre ellas es lo que se talla.",  // 37
        "Primera vez aquí: la memoria vive en tiempo real y se asienta en días, como un instrumento de verdad. Pon Speed en x100, arriba, para oírlo.",  // 38
        "Preset anterior y siguiente, sin abrir la lista. Mismo orden que el Program Change; los tuyos van después de los 85.",  // 39
        "Este host bloquea la memoria de la máquina: no se talla ni se comparte nada. El instrumento sigue sonando y la instantánea funciona.",  // 40
        "Repite el recorrido: una tarjeta se pone junto a cada control y dice, en una línea, para qué sirve.",  // 41
        "Nada se mueve sin la otra mitad: LFO rate y LFO amt solo van juntos.",  // 42
    },
    // Italian
    {
        "La memoria: un settore per nota, le linee che la attraversano sono gli intervalli suonati. Clicca un settore per vederne l'effetto.",  // 0
        "Tieni due note: si ricorda l'intervallo tra loro. Clicca più in alto su un tasto per premere più forte.",  // 1
        "Tiene una copia della MEMORIA in questo progetto - non delle manopole. La memoria viva continua a cambiare; questa copia resta ferma.",  // 2
        "Cancella la memoria della macchina. Se ci avevi suonato, prima ne va una copia in Your memories. Chiede due volte.",  // 3
        "Clicca di nuovo per cancellare. Ciò che hai suonato va prima in Your memories; le impostazioni restano.",  // 4
        "Tieni premuto per sentire lo strumento senza alcuna memoria.",  // 5
        "Cosa conta come pressione su una nota: quanto forte e quanto a lungo tieni il tasto, o la pressione del tuo controller MPE.",  // 6
        "Carica una memoria: incisa da qualcun altro, o una delle tue. Quella attuale viene salvata prima.",  // 7
        "Carica questa memoria - SOSTITUISCE quella condivisa da tutte le istanze. L'attuale viene prima salvata in Your memories.",  // 8
        "Carica questa memoria - la suonano tutte le istanze. L'attuale viene salvata prima.",  // 9
        "Elimina questa memoria salvata. Chiede due volte; la memoria viva non viene toccata.",  // 10
        "Clicca di nuovo per eliminare questo file di memoria. La memoria viva della macchina non viene toccata.",  // 11
        "Salva la memoria attuale con un nome, per ricaricarla poi in qualsiasi progetto.",  // 12
        "Fa ricordare e dimenticare lo strumento più in fretta, per provare. x1 è il tempo reale.",  // 13
        "Due slot per il suono di questa traccia e le impostazioni di memoria. Lasciando uno slot si tiene ciò che lasci.",  // 14
        "Annulla (Ctrl+Z) - ogni manopola e impostazione. Ciò che hai suonato resta: la memoria è storia, non un'impostazione.",  // 15
        "Ripristina (Ctrl+Maiusc+Z).",  // 16
        "Un preset è solo il suono di questa traccia. La memoria è condivisa da tutte le istanze e non viaggia mai in un preset.",  // 17
        "Lascia che il Program Change MIDI scelga i preset per numero. Mai una memoria: sostituirebbe quella di tutte le istanze.",  // 18
        "Le categorie filtrano l'elenco. I numeri di Program Change non cambiano mai.",  // 19
        "Salva il suono di questa traccia con un nome. Finisce in Yours, disponibile per ogni istanza su questa macchina.",  // 20
        "Rinomina questo preset. Progetti e Program Change seguono il nuovo nome.",  // 21
        "Elimina questo preset. Chiede due volte.",  // 22
        "Clicca di nuovo per eliminare. Eliminare non cambia mai il suono.",  // 23
        "Il nome della traccia viene dalla DAW. Riscrivilo, o svuotalo per riavere il nome della DAW.",  // 24
        "",  // 25
        "Trascina per ridimensionare - da 70 a 320 %. La dimensione è tua: resta alla riapertura e viaggia con il progetto.",  // 26
        "Questo host ridimensiona la finestra da sé - qui la maniglia resta ferma.",  // 27
        "Quale oggetto risuona: corda, campana, piastra... Ognuno ha i suoi armonici e la sua dose misurata: 62 % vale lo stesso ovunque.",  // 28
        "Ancora niente inciso. Vorrel suona ciò che riceve - una tastiera o una clip MIDI su questa traccia - e ogni intervallo ne consuma il suono.",  // 29
        "Imprint e Sympathy sono a 0: questa traccia suona lo strumento nudo. Alza uno dei due per sentire ciò che hai inciso.",  // 30
        "La memoria colora il timbro, ma niente risponde ancora alla tua melodia. Alza Sympathy per sentire risuonare gli intervalli incisi.",  // 31
        "Lingua di questi suggerimenti. Clicca per cambiarla - la scelta vale per ogni istanza su questa macchina.",  // 32
        "Tieni due note - ",  // 33
        "l'intervallo è ciò che si incide",  // 34
        " · più in alto sul tasto = più forte · ",  // 35
        "trascina tenendo per premere",  // 36
        "Tieni due note sulla tastiera - l'intervallo tra loro è ciò che si incide.",  // 37
        "Prima volta qui: la memoria vive in tempo reale e si consuma in giorni, come uno strumento vero. Metti Speed su x100, in alto, per sentirlo.",  // 38
        "Preset precedente e successivo, senza aprire l'elenco. Stesso ordine del Program Change; i tuoi vengono dopo gli 85.",  // 39
        "Questo host blocca la memoria della macchina: niente viene inciso né condiviso. Lo strumento suona, e l'istantanea del progetto funziona.",  // 40
        "Rifai il tour: una scheda si sposta accanto a ogni controllo e dice, in una riga, a cosa serve.",  // 41
        "Niente si muove finché l'altra metà non sale: LFO rate e LFO amt vanno solo insieme.",  // 42
    },
    // Portuguese
    {
        "A memória: um setor por nota, as linhas que a cruzam são os intervalos tocados. Clique num setor para ver o que faz ao som.",  // 0
        "Mantenha duas notas: o intervalo entre elas é o que fica lembrado. Clique mais acima numa tecla para premir com mais força.",  // 1
        "Guarda uma cópia da MEMÓRIA dentro deste projeto - não dos botões. A memória viva continua a mudar; esta cópia nunca mais se mexe.",  // 2
        "Apaga a memória da máquina. Se tinha tocado nela, uma cópia vai primeiro para Your memories. Pergunta duas vezes.",  // 3
        "Clique de novo para apagar. O que tocou é copiado antes para Your memories; as definições ficam.",  // 4
        "Mantenha premido para ouvir o instrumento sem memória nenhuma.",  // 5
        "O que conta como pressão numa nota: a força e o tempo com que segura a tecla, ou a pressão do seu controlador MPE.",  // 6
        "Carregar uma memória: gravada por outra pessoa, ou uma das suas. A atual é copiada primeiro.",  // 7
        "Carregar esta memória - SUBSTITUI a que todas as instâncias partilham. A atual é copiada primeiro para Your memories.",  // 8
        "Carregar esta memória - todas as instâncias a tocam. A atual é copiada primeiro.",  // 9
        "Apagar esta memória guardada. Pergunta duas vezes; a memória viva não é tocada.",  // 10
        "Clique de novo para apagar este ficheiro de memória. A memória viva da máquina não é tocada.",  // 11
        "Guardar a memória atual com um nome, para a carregar mais tarde em qualquer projeto.",  // 12
        "Faz o instrumento lembrar e esquecer mais depressa, para experimentar. x1 é tempo real.",  // 13
        "Duas posições para o som desta faixa e as definições da memória. Sair de uma posição guarda o que lá deixa.",  // 14
        "Anular (Ctrl+Z) - cada botão e definição. O que tocou não é anulado: a memória é história, não uma definição.",  // 15
        "Refazer (Ctrl+Shift+Z).",  // 16
        "Um preset é só o som desta faixa. A memória é partilhada por todas as instâncias e nunca viaja num preset.",  // 17
        "Deixe o Program Change MIDI escolher presets pelo número. Nunca uma memória: substituiria a que todas as instâncias partilham.",  // 18
        "As categorias filtram a lista. Os números de Program Change nunca mudam.",  // 19
        "Guardar o som desta faixa com um nome. Vai para Yours, disponível para todas as instâncias nesta máquina.",  // 20
        "Mudar o nome deste preset. Projetos e Program Change seguem o novo nome.",  // 21
        "Apagar este preset. Pergunta duas vezes.",  // 22
        "Clique de novo para apagar. Apagar nunca muda o som.",  // 23
        "O nome da faixa vem da DAW. Reescreva-o, ou esvazie-o para voltar ao nome da DAW.",  // 24
        "",  // 25
        "Arraste para redimensionar - 70 a 320 %. O tamanho é seu: sobrevive ao reabrir e viaja com o projeto.",  // 26
        "Este host redimensiona a janela sozinho - aqui a pega fica quieta.",  // 27
        "Que objeto ressoa: corda, sino, placa... Cada um tem os seus harmónicos e a sua dose medida: 62 % vale o mesmo em todos.",  // 28
        "Nada gravado ainda. O Vorrel toca o que recebe - um teclado ou um clip MIDI nesta faixa - e cada intervalo tocado gasta o seu som.",  // 29
        "Imprint e Sympathy estão a 0: esta faixa toca o instrumento simples. Suba um deles para ouvir o que gravou.",  // 30
        "A memória colore o timbre, mas nada responde ainda à sua melodia. Suba Sympathy para ouvir soar os intervalos gravados.",  // 31
        "Idioma destas dicas. Clique para mudar - a escolha vale para todas as instâncias nesta máquina.",  // 32
        "Mantenha duas notas - ",  // 33
        "o intervalo é o que fica gravado",  // 34
        " · mais acima na tecla = mais forte · ",  // 35
        "arraste a segurar para carregar",  // 36
        "Mantenha duas notas no teclado - o intervalo entre elas é o que fica gravado.",  // 37
        "Primeira vez: a memória vive em tempo real e gasta-se ao longo de dias, como um instrumento real. Speed em x100, em cima, para ouvir já.",  // 38
        "Preset anterior e seguinte, sem abrir a lista. Mesma ordem do Program Change; os seus vêm depois dos 85.",  // 39
        "Este host bloqueia a memória da máquina: nada é gravado nem partilhado. O instrumento continua a tocar e o instantâneo funciona.",  // 40
        "Repetir a visita: um cartão passa por cada controlo e diz, numa linha, para que serve.",  // 41
        "Nada se mexe sem a outra metade: LFO rate e LFO amt só funcionam juntos.",  // 42
    },
};
// clang-format on

}  // namespace vrui
