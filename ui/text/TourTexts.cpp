// The tour's targets, titles, texts and buttons, and the welcome card, in the six panel languages.
#include "Texts.h"

namespace vrui {

// clang-format off
const TourTarget kTourSteps[kNumTourSteps] = {
    {Control::Key, -1},  // 0
    {Control::Wheel, -1},  // 1
    {Control::Param, 9},  // 2
    {Control::Param, 0},  // 3
    {Control::Speed, -1},  // 4
    {Control::BypassMemory, -1},  // 5
    {Control::MemoryMenu, -1},  // 6
    {Control::PresetMenu, -1},  // 7
    {Control::Param, 27},  // 8
    {Control::Param, 28},  // 9
    {Control::PressureSource, -1},  // 10
    {Control::Param, 3},  // 11
    {Control::FreezeMemory, -1},  // 12
    {Control::ClearMemory, -1},  // 13
    {Control::BodyMenu, -1},  // 14
    {Control::Param, 5},  // 15
    {Control::Param, 2},  // 16
    {Control::Language, -1},  // 17
};

const char* const kTourTitle[kNumLangs][kNumTourSteps] = {
    // English
    {
        "Play something",  // 0
        "What you played, engraved",  // 1
        "The strings that answer",  // 2
        "How much this track reads it",  // 3
        "It lives in real time",  // 4
        "Hear the difference",  // 5
        "One memory per machine",  // 6
        "A preset is only the sound",  // 7
        "Forgetting",  // 8
        "How deep you write",  // 9
        "What counts as pressing",  // 10
        "Machine, or project",  // 11
        "Freeze it",  // 12
        "Start again",  // 13
        "Which object rings",  // 14
        "What sets it in motion",  // 15
        "Carving away",  // 16
        "Everything explains itself",  // 17
    },
    // French
    {
        "Jouez quelque chose",  // 0
        "Ce que vous jouez, gravé",  // 1
        "Les cordes qui répondent",  // 2
        "Ce que cette piste en lit",  // 3
        "Elle vit en temps réel",  // 4
        "Entendez la différence",  // 5
        "Une mémoire par machine",  // 6
        "Un preset, c'est le son",  // 7
        "L'oubli",  // 8
        "La profondeur du trait",  // 9
        "Ce qui compte comme appui",  // 10
        "Machine ou projet",  // 11
        "Figez-la",  // 12
        "Repartir de zéro",  // 13
        "L'objet qui résonne",  // 14
        "Ce qui le met en vibration",  // 15
        "Tailler dans le son",  // 16
        "Tout s'explique",  // 17
    },
    // German
    {
        "Spiel etwas",  // 0
        "Dein Spiel, eingraviert",  // 1
        "Die Saiten, die antworten",  // 2
        "Wie viel diese Spur liest",  // 3
        "Es lebt in Echtzeit",  // 4
        "Hör den Unterschied",  // 5
        "Ein Gedächtnis pro Maschine",  // 6
        "Ein Preset ist nur Klang",  // 7
        "Vergessen",  // 8
        "Wie tief du schreibst",  // 9
        "Was als Druck zählt",  // 10
        "Maschine oder Projekt",  // 11
        "Einfrieren",  // 12
        "Neu anfangen",  // 13
        "Welches Objekt klingt",  // 14
        "Was es zum Klingen bringt",  // 15
        "Wegschnitzen",  // 16
        "Alles erklärt sich selbst",  // 17
    },
    // Spanish
    {
        "Toca algo",  // 0
        "Lo que tocaste, grabado",  // 1
        "Las cuerdas que responden",  // 2
        "Cuánto la lee esta pista",  // 3
        "Vive en tiempo real",  // 4
        "Oye la diferencia",  // 5
        "Una memoria por máquina",  // 6
        "Un preset es solo sonido",  // 7
        "El olvido",  // 8
        "Qué tan hondo escribes",  // 9
        "Qué cuenta como presión",  // 10
        "Máquina o proyecto",  // 11
        "Congélala",  // 12
        "Empezar de nuevo",  // 13
        "Qué objeto suena",  // 14
        "Qué lo pone en marcha",  // 15
        "Tallar a fondo",  // 16
        "Todo se explica solo",  // 17
    },
    // Italian
    {
        "Suona qualcosa",  // 0
        "Ciò che hai suonato, inciso",  // 1
        "Le corde che rispondono",  // 2
        "Quanto la legge la traccia",  // 3
        "Vive in tempo reale",  // 4
        "Senti la differenza",  // 5
        "Una memoria per macchina",  // 6
        "Un preset è solo il suono",  // 7
        "Dimenticare",  // 8
        "Quanto a fondo scrivi",  // 9
        "Cosa conta come pressione",  // 10
        "Macchina o progetto",  // 11
        "Congelala",  // 12
        "Ricominciare",  // 13
        "Quale oggetto risuona",  // 14
        "Cosa lo mette in moto",  // 15
        "Incidere a fondo",  // 16
        "Tutto si spiega da sé",  // 17
    },
    // Portuguese
    {
        "Toque alguma coisa",  // 0
        "O que tocou, gravado",  // 1
        "As cordas que respondem",  // 2
        "Quanto esta faixa a lê",  // 3
        "Vive em tempo real",  // 4
        "Ouça a diferença",  // 5
        "Uma memória por máquina",  // 6
        "Um preset é só o som",  // 7
        "Esquecer",  // 8
        "Quão fundo escreve",  // 9
        "O que conta como pressão",  // 10
        "Máquina ou projeto",  // 11
        "Congele-a",  // 12
        "Recomeçar",  // 13
        "Que objeto ressoa",  // 14
        "O que o põe a vibrar",  // 15
        "Esculpir a fundo",  // 16
        "Tudo se explica",  // 17
    },
};

const char* const kTourBody[kNumLangs][kNumTourSteps] = {
    // English
    {
        "Vorrel plays what it receives: this keyboard, or a MIDI clip on this track. It never invents a note of its own.",  // 0
        "One sector per note. The lines across are the intervals between the notes you held. This circle is the memory.",  // 1
        "Sympathy tunes them to the intervals you carved. Play fifths for a while and the fifth starts answering on its own.",  // 2
        "At Imprint 0 you hear the plain instrument. Turn it up and the memory colours the sound.",  // 3
        "The memory wears in over days, like a real instrument. Set Speed to x100 to hear a day of playing in a minute.",  // 4
        "Hold Bypass memory: the instrument with no memory at all. Let go and yours comes back.",  // 5
        "Every instance of Vorrel shares this one, and it survives the session. It is not a preset.",  // 6
        "The knobs of this track, nothing else. The memory never travels inside a preset.",  // 7
        "Forget sets how many days of silence it takes to lose what you played. It counts even while your DAW is closed.",  // 8
        "Engrave sets how deeply playing carves. With an MPE controller, pressing harder writes deeper.",  // 9
        "How hard and how long you hold a key, or the pressure your MPE controller sends.",  // 10
        "Which memory this track reads: the living one of the machine, or the snapshot kept in this project. Drag it sideways.",  // 11
        "Freeze memory here keeps a copy of the MEMORY in the project - not the knobs, which is what a preset is for. That copy never changes again.",  // 12
        "Clear memory erases what the machine remembers. What you played is backed up first, and it asks twice.",  // 13
        "String, bell, plate... Each has its own overtones, and each takes the memory its own way.",  // 14
        "Breath, mallet, bow, grain. Saw and Square replace the noise with an oscillator.",  // 15
        "Turn Carve up and the memory also removes what you never play. This track ends up specialised.",  // 16
        "Hover anything and the bar underneath says what it does. This chip changes the language of those lines.",  // 17
    },
    // French
    {
        "Vorrel joue ce qu'il reçoit : ce clavier, ou un clip MIDI sur cette piste. Il n'invente jamais une note de lui-même.",  // 0
        "Un secteur par note. Les traits qui le traversent sont les intervalles entre les notes tenues. Ce cercle, c'est la mémoire.",  // 1
        "Sympathy les accorde sur les intervalles gravés. Jouez des quintes un moment et la quinte se met à répondre toute seule.",  // 2
        "Avec Imprint à 0, vous entendez l'instrument nu. Montez-le et la mémoire colore le son.",  // 3
        "La mémoire se patine en quelques jours, comme un vrai instrument. Mettez Speed sur x100 : une journée de jeu en une minute.",  // 4
        "Maintenez Bypass memory : l'instrument sans aucune mémoire. Relâchez, et la vôtre revient.",  // 5
        "Toutes les instances de Vorrel partagent celle-ci, et elle survit à la session. Ce n'est pas un preset.",  // 6
        "Les réglages de cette piste, rien d'autre. La mémoire ne voyage jamais dans un preset.",  // 7
        "Forget fixe combien de jours de silence effacent ce que vous avez joué. Le temps compte même DAW fermée.",  // 8
        "Engrave règle la profondeur à laquelle le jeu grave. Avec un contrôleur MPE, appuyer plus fort grave plus profond.",  // 9
        "La force et la durée d'une touche tenue, ou la pression envoyée par votre contrôleur MPE.",  // 10
        "Quelle mémoire lit cette piste : celle, vivante, de la machine, ou l'instantané gardé dans ce projet. Faites-le glisser de côté.",  // 11
        "Freeze memory here garde une copie de la MÉMOIRE dans le projet - pas des réglages, c'est le rôle d'un preset. Cette copie ne change plus jamais.",  // 12
        "Clear memory efface ce dont la machine se souvient. Votre jeu est d'abord sauvegardé, et il demande deux fois.",  // 13
        "Corde, cloche, plaque... Chacun a ses harmoniques, et chacun prend la mémoire à sa façon.",  // 14
        "Souffle, mailloche, archet, grain. Saw et Square remplacent le bruit par un oscillateur.",  // 15
        "Montez Carve et la mémoire retire aussi ce que vous ne jouez jamais. Cette piste finit par se spécialiser.",  // 16
        "Survolez n'importe quoi et la barre du bas dit ce que ça fait. Cette pastille change la langue de ces lignes.",  // 17
    },
    // German
    {
        "Vorrel spielt, was es empfängt: diese Tastatur oder einen MIDI-Clip auf dieser Spur. Es erfindet nie eine eigene Note.",  // 0
        "Ein Sektor pro Note. Die Linien quer sind die Intervalle zwischen den gehaltenen Noten. Dieser Kreis ist das Gedächtnis.",  // 1
        "Sympathy stimmt sie auf deine eingravierten Intervalle. Spiel eine Weile Quinten, und die Quinte antwortet von selbst.",  // 2
        "Bei Imprint 0 hörst du das reine Instrument. Dreh auf, und das Gedächtnis färbt den Klang.",  // 3
        "Das Gedächtnis prägt sich über Tage ein, wie ein echtes Instrument. Stell Speed auf x100, um einen Tag Spiel in einer Minute zu hören.",  // 4
        "Halte Bypass memory: das Instrument ganz ohne Gedächtnis. Lass los, und deins kommt zurück.",  // 5
        "Alle Instanzen von Vorrel teilen dieses eine, und es überdauert die Sitzung. Es ist kein Preset.",  // 6
        "Die Regler dieser Spur, sonst nichts. Das Gedächtnis reist nie in einem Preset mit.",  // 7
        "Forget bestimmt, nach wie vielen Tagen Stille verloren geht, was du gespielt hast. Die Zeit läuft auch bei geschlossener DAW.",  // 8
        "Engrave bestimmt, wie tief das Spiel eingraviert. Mit einem MPE-Controller schreibt stärkerer Druck tiefer.",  // 9
        "Wie fest und wie lange du eine Taste hältst, oder der Druck, den dein MPE-Controller sendet.",  // 10
        "Welches Gedächtnis diese Spur liest: das lebende der Maschine oder den Schnappschuss im Projekt. Seitlich ziehen.",  // 11
        "Freeze memory here behält eine Kopie des GEDÄCHTNISSES im Projekt - nicht der Regler, dafür gibt es Presets. Diese Kopie ändert sich nie mehr.",  // 12
        "Clear memory löscht, woran sich die Maschine erinnert. Dein Spiel wird vorher gesichert, und es fragt zweimal.",  // 13
        "Saite, Glocke, Platte... Jedes hat eigene Obertöne und nimmt das Gedächtnis auf seine Weise an.",  // 14
        "Atem, Schlägel, Bogen, Korn. Saw und Square ersetzen das Rauschen durch einen Oszillator.",  // 15
        "Dreh Carve auf, und das Gedächtnis nimmt auch weg, was du nie spielst. Diese Spur wird zum Spezialisten.",  // 16
        "Fahr über irgendetwas, und die Leiste darunter sagt, was es tut. Dieser Chip wechselt die Sprache dieser Zeilen.",  // 17
    },
    // Spanish
    {
        "Vorrel toca lo que recibe: este teclado o un clip MIDI en esta pista. Nunca inventa una nota propia.",  // 0
        "Un sector por nota. Las líneas que lo cruzan son los intervalos entre las notas que mantuviste. Este círculo es la memoria.",  // 1
        "Sympathy las afina a los intervalos que tallaste. Toca quintas un rato y la quinta empieza a responder sola.",  // 2
        "Con Imprint a 0 oyes el instrumento desnudo. Súbelo y la memoria colorea el sonido.",  // 3
        "La memoria se asienta en días, como un instrumento de verdad. Pon Speed en x100 para oír un día de toque en un minuto.",  // 4
        "Mantén Bypass memory: el instrumento sin ninguna memoria. Suelta y vuelve la tuya.",  // 5
        "Todas las instancias de Vorrel comparten esta, y sobrevive a la sesión. No es un preset.",  // 6
        "Los controles de esta pista, nada más. La memoria nunca viaja dentro de un preset.",  // 7
        "Forget fija cuántos días de silencio hacen falta para perder lo que tocaste. Cuenta aun con tu DAW cerrado.",  // 8
        "Engrave fija qué tan hondo talla tu toque. Con un controlador MPE, apretar más fuerte escribe más hondo.",  // 9
        "La fuerza y el tiempo que mantienes una tecla, o la presión que envía tu controlador MPE.",  // 10
        "Qué memoria lee esta pista: la viva de la máquina o la instantánea guardada en este proyecto. Arrástralo de lado.",  // 11
        "Freeze memory here guarda una copia de la MEMORIA en el proyecto - no de los controles, para eso está un preset. Esa copia ya no cambia nunca.",  // 12
        "Clear memory borra lo que recuerda la máquina. Lo que tocaste se copia antes, y pregunta dos veces.",  // 13
        "Cuerda, campana, placa... Cada uno tiene sus armónicos y toma la memoria a su manera.",  // 14
        "Aliento, mazo, arco, grano. Saw y Square cambian el ruido por un oscilador.",  // 15
        "Sube Carve y la memoria también quita lo que nunca tocas. Esta pista acaba especializada.",  // 16
        "Pasa el puntero sobre cualquier cosa y la barra de abajo dice qué hace. Esta pastilla cambia el idioma de esas líneas.",  // 17
    },
    // Italian
    {
        "Vorrel suona ciò che riceve: questa tastiera o una clip MIDI su questa traccia. Non inventa mai una nota da sé.",  // 0
        "Un settore per nota. Le linee che lo attraversano sono gli intervalli tra le note tenute. Questo cerchio è la memoria.",  // 1
        "Sympathy le accorda sugli intervalli che hai inciso. Suona quinte per un po' e la quinta inizia a rispondere da sola.",  // 2
        "Con Imprint a 0 senti lo strumento nudo. Alzalo e la memoria colora il suono.",  // 3
        "La memoria si consuma in giorni, come uno strumento vero. Metti Speed su x100 per sentire un giorno di musica in un minuto.",  // 4
        "Tieni premuto Bypass memory: lo strumento senza alcuna memoria. Rilascia e torna la tua.",  // 5
        "Tutte le istanze di Vorrel condividono questa, e sopravvive alla sessione. Non è un preset.",  // 6
        "Le manopole di questa traccia, nient'altro. La memoria non viaggia mai dentro un preset.",  // 7
        "Forget stabilisce quanti giorni di silenzio servono per perdere ciò che hai suonato. Conta anche a DAW chiusa.",  // 8
        "Engrave stabilisce quanto a fondo incide il suonare. Con un controller MPE, premere più forte scrive più a fondo.",  // 9
        "Quanto forte e quanto a lungo tieni un tasto, o la pressione che invia il tuo controller MPE.",  // 10
        "Quale memoria legge questa traccia: quella viva della macchina o l'istantanea tenuta nel progetto. Trascinalo di lato.",  // 11
        "Freeze memory here tiene una copia della MEMORIA nel progetto - non delle manopole, a quello serve un preset. Quella copia non cambia più.",  // 12
        "Clear memory cancella ciò che la macchina ricorda. Ciò che hai suonato viene salvato prima, e chiede due volte.",  // 13
        "Corda, campana, piastra... Ognuno ha i suoi armonici, e ognuno prende la memoria a modo suo.",  // 14
        "Fiato, battente, archetto, grana. Saw e Square sostituiscono il rumore con un oscillatore.",  // 15
        "Alza Carve e la memoria toglie anche ciò che non suoni mai. Questa traccia finisce per specializzarsi.",  // 16
        "Passa sopra qualsiasi cosa e la barra sotto dice cosa fa. Questo chip cambia la lingua di quelle righe.",  // 17
    },
    // Portuguese
    {
        "O Vorrel toca o que recebe: este teclado ou um clip MIDI nesta faixa. Nunca inventa uma nota por si.",  // 0
        "Um setor por nota. As linhas que o cruzam são os intervalos entre as notas que segurou. Este círculo é a memória.",  // 1
        "Sympathy afina-as nos intervalos que gravou. Toque quintas algum tempo e a quinta começa a responder sozinha.",  // 2
        "Com Imprint a 0 ouve o instrumento simples. Suba-o e a memória colore o som.",  // 3
        "A memória gasta-se ao longo de dias, como um instrumento real. Ponha Speed em x100 para ouvir um dia de toque num minuto.",  // 4
        "Mantenha Bypass memory premido: o instrumento sem memória nenhuma. Largue e a sua volta.",  // 5
        "Todas as instâncias do Vorrel partilham esta, e ela sobrevive à sessão. Não é um preset.",  // 6
        "Os botões desta faixa, nada mais. A memória nunca viaja dentro de um preset.",  // 7
        "Forget define quantos dias de silêncio são precisos para perder o que tocou. Conta mesmo com a DAW fechada.",  // 8
        "Engrave define quão fundo o toque grava. Com um controlador MPE, premir com mais força escreve mais fundo.",  // 9
        "A força e o tempo com que segura uma tecla, ou a pressão que o seu controlador MPE envia.",  // 10
        "Que memória esta faixa lê: a viva da máquina ou o instantâneo guardado neste projeto. Arraste-o para o lado.",  // 11
        "Freeze memory here guarda uma cópia da MEMÓRIA no projeto - não dos botões, para isso serve um preset. Essa cópia nunca mais muda.",  // 12
        "Clear memory apaga o que a máquina lembra. O que tocou é copiado primeiro, e pergunta duas vezes.",  // 13
        "Corda, sino, placa... Cada um tem os seus harmónicos, e cada um recebe a memória à sua maneira.",  // 14
        "Sopro, baqueta, arco, grão. Saw e Square trocam o ruído por um oscilador.",  // 15
        "Suba Carve e a memória também retira o que nunca toca. Esta faixa acaba especializada.",  // 16
        "Passe o cursor sobre qualquer coisa e a barra de baixo diz o que faz. Este botão muda o idioma dessas linhas.",  // 17
    },
};

const char* const kTourBtn[kNumLangs][kNumTourBtns] = {
    {"Skip", "Take the tour", "Previous", "Next", "See everything", "Done"},
    {"Passer", "Démarrer le tour", "Précédent", "Suivant", "Voir tout", "Terminé"},
    {"Überspringen", "Tour starten", "Zurück", "Weiter", "Alles ansehen", "Fertig"},
    {"Omitir", "Empezar el recorrido", "Anterior", "Siguiente", "Ver todo", "Hecho"},
    {"Salta", "Inizia il tour", "Precedente", "Successivo", "Vedi tutto", "Fatto"},
    {"Saltar", "Começar a visita", "Anterior", "Seguinte", "Ver tudo", "Concluído"},
};

const char* const kWelcomeTitle[kNumLangs] = {"Vorrel", "Vorrel", "Vorrel", "Vorrel", "Vorrel", "Vorrel"};

const char* const kWelcomeLine[kNumLangs][kNumWelcomeLines] = {
    // English
    {
        "An instrument that remembers what you play.",  // 0
        "Not the notes: the intervals between them.",  // 1
        "What it does to the sound: the intervals you play most grow louder inside the tone, and strings tuned to them start answering on their own. What you stop playing fades out of it.",  // 2
        "One memory per machine, shared by every instance, kept between sessions.",  // 3
    },
    // French
    {
        "Un instrument qui se souvient de ce que vous jouez.",  // 0
        "Pas les notes : les intervalles entre elles.",  // 1
        "Ce que cela change au son : les intervalles que vous jouez le plus prennent de la force dans le timbre, et des cordes accordées sur eux se mettent à répondre seules. Ce que vous cessez de jouer s'efface.",  // 2
        "Une mémoire par machine, partagée par toutes les instances, conservée d'une session à l'autre.",  // 3
    },
    // German
    {
        "Ein Instrument, das sich merkt, was du spielst.",  // 0
        "Nicht die Noten: die Intervalle dazwischen.",  // 1
        "Was das mit dem Klang macht: die Intervalle, die du am meisten spielst, werden im Ton lauter, und darauf gestimmte Saiten antworten von selbst. Was du nicht mehr spielst, verblasst.",  // 2
        "Ein Gedächtnis pro Maschine, geteilt von allen Instanzen, über Sitzungen hinweg behalten.",  // 3
    },
    // Spanish
    {
        "Un instrumento que recuerda lo que tocas.",  // 0
        "No las notas: los intervalos entre ellas.",  // 1
        "Lo que hace con el sonido: los intervalos que más tocas suenan más fuerte dentro del tono, y cuerdas afinadas a ellos empiezan a responder solas. Lo que dejas de tocar se desvanece.",  // 2
        "Una memoria por máquina, compartida por todas las instancias, guardada entre sesiones.",  // 3
    },
    // Italian
    {
        "Uno strumento che ricorda ciò che suoni.",  // 0
        "Non le note: gli intervalli tra loro.",  // 1
        "Cosa fa al suono: gli intervalli che suoni di più crescono dentro il timbro, e corde accordate su di essi iniziano a rispondere da sole. Ciò che smetti di suonare svanisce.",  // 2
        "Una memoria per macchina, condivisa da tutte le istanze, conservata tra una sessione e l'altra.",  // 3
    },
    // Portuguese
    {
        "Um instrumento que se lembra do que toca.",  // 0
        "Não as notas: os intervalos entre elas.",  // 1
        "O que isso faz ao som: os intervalos que mais toca ganham força dentro do timbre, e cordas afinadas neles começam a responder sozinhas. O que deixa de tocar desvanece-se.",  // 2
        "Uma memória por máquina, partilhada por todas as instâncias, guardada entre sessões.",  // 3
    },
};
// clang-format on

}  // namespace vrui
