// Knob captions and the one-line story of every parameter, by parameter id, in the six panel languages.
#include "Texts.h"

namespace vrui {

// clang-format off
const char* const kParamLabels[kNumParamTexts] = {
    "Imprint",
    "Bare",
    "Carve",
    "Source",
    "Body",
    "Exciter",
    "Decay",
    "Damper",
    "Inharm",
    "Sympathy",
    "Attack",
    "Decay",
    "Sustain",
    "Release",
    "Cutoff",
    "Resonance",
    "Env amt",
    "LFO rate",
    "LFO amt",
    "Glide",
    "Voices",
    "Delay",
    "Dly mix",
    "Verb size",
    "Verb mix",
    "Level",
    "Quality",
    "Forget",
    "Engrave",
};

const char* const kParamStoriesL[kNumLangs][kNumParamTexts] = {
    // English
    {
        "How much the memory colours this track. 0 = the plain instrument, 100 = fully carved. Reads the memory, never writes it.",  // 0
        "How much of the tone is left for the memory to add. 0 = full tone at once, 100 = almost a sine until you have played.",  // 1
        "0 = the memory only adds to the sound. 100 = it also removes what you never play, so this track specialises.",  // 2
        "Which memory this track reads: the machine's living one, or the snapshot saved in this project. Blend between them.",  // 3
        "The resonator: string, bell, glass... Each rings with its own overtones and takes the memory differently.",  // 4
        "What strikes or bows the body. Saw and Square replace the noise with an oscillator.",  // 5
        "How long the body rings after each strike, in seconds. Long values turn any exciter into a drone.",  // 6
        "How quickly a released note is silenced. 0 = it rings out on its own, like an undamped string.",  // 7
        "From in tune to metallic: spreads the overtones and adds drive. A little thickens, a lot clangs.",  // 8
        "The strings that answer your playing, tuned to the intervals you carved. Play fifths for a while: the fifth starts answering.",  // 9
        "How fast the exciter comes on.",  // 10
        "How fast the exciter settles to its held level.",  // 11
        "How hard the exciter keeps pushing while the key is held. Everything on Bow and Breath, almost nothing on Mallet.",  // 12
        "How fast the exciter stops when you let go. The ring that follows is Decay; Damper cuts it.",  // 13
        "Where the low-pass filter starts to darken the sound. Follows the keyboard halfway.",  // 14
        "Emphasis at the cutoff. High values growl; above about 130 the filter sings on its own.",  // 15
        "How far the cutoff opens on each note before closing again, in octaves. This is where the pluck comes from.",  // 16
        "How fast the cutoff wobbles. 0 = off.",  // 17
        "How far the LFO moves the cutoff. Needs a rate above 0.",  // 18
        "Portamento: how long a note takes to slide to the next pitch.",  // 19
        "How many notes can sound at once. Past that, the oldest tail is stolen first.",  // 20
        "Delay time.",  // 21
        "Delay level.",  // 22
        "Reverb size.",  // 23
        "Reverb level.",  // 24
        "Output level.",  // 25
        "Oversampling of the filter. x4 and x8 sound cleaner at high resonance, cost CPU, add no latency.",  // 26
        "How many days of silence it takes to forget what you played. Counts even while your DAW is closed. There is no off.",  // 27
        "How deeply playing writes into the memory. With MPE, pressing harder writes deeper.",  // 28
    },
    // French
    {
        "Combien la mémoire colore cette piste. 0 = l'instrument nu, 100 = entièrement gravé. Lit la mémoire, sans jamais l'écrire.",  // 0
        "La part du timbre laissée à la mémoire. 0 = timbre complet d'emblée, 100 = presque un sinus tant que vous n'avez pas joué.",  // 1
        "0 = la mémoire ne fait qu'ajouter au son. 100 = elle retire aussi ce que vous ne jouez jamais : la piste se spécialise.",  // 2
        "Quelle mémoire lit cette piste : celle, vivante, de la machine, ou l'instantané gardé dans ce projet. Dosez entre les deux.",  // 3
        "Le résonateur : corde, cloche, verre... Chacun sonne avec ses propres harmoniques et prend la mémoire à sa façon.",  // 4
        "Ce qui frappe ou frotte le corps. Saw et Square remplacent le bruit par un oscillateur.",  // 5
        "Durée de résonance du corps après chaque attaque, en secondes. Les valeurs longues font de tout excitateur un bourdon.",  // 6
        "La vitesse à laquelle une note relâchée s'éteint. 0 = elle résonne librement, comme une corde non étouffée.",  // 7
        "De juste à métallique : écarte les harmoniques et ajoute de la saturation. Un peu épaissit, beaucoup fait ferrailler.",  // 8
        "Les cordes qui répondent à votre jeu, accordées sur vos intervalles gravés. Jouez des quintes un moment : la quinte répond.",  // 9
        "La vitesse de montée de l'excitateur.",  // 10
        "La vitesse à laquelle l'excitateur rejoint son niveau de maintien.",  // 11
        "La force avec laquelle l'excitateur pousse tant que la touche est tenue. Tout sur Bow et Breath, presque rien sur Mallet.",  // 12
        "La vitesse d'arrêt de l'excitateur quand vous relâchez. La résonance qui suit, c'est Decay ; Damper la coupe.",  // 13
        "Où le filtre passe-bas commence à assombrir le son. Suit le clavier à moitié.",  // 14
        "Accentuation à la coupure. Les valeurs hautes grondent ; au-delà de 130 environ, le filtre chante tout seul.",  // 15
        "De combien la coupure s'ouvre à chaque note avant de se refermer, en octaves. C'est de là que vient le pincé.",  // 16
        "Vitesse d'oscillation de la coupure. 0 = arrêt.",  // 17
        "Amplitude du LFO sur la coupure. Vitesse au-dessus de 0 requise.",  // 18
        "Portamento : le temps que met une note pour glisser vers la hauteur suivante.",  // 19
        "Le nombre de notes simultanées. Au-delà, la queue la plus ancienne est reprise en premier.",  // 20
        "Durée de l'écho.",  // 21
        "Niveau de l'écho.",  // 22
        "Taille de la réverbération.",  // 23
        "Niveau de la réverbération.",  // 24
        "Niveau de sortie.",  // 25
        "Suréchantillonnage du filtre. x4 et x8 sonnent plus propre à forte résonance, coûtent du CPU, sans latence ajoutée.",  // 26
        "Jours de silence avant d'oublier ce que vous avez joué. Compte même DAW fermée. Pas de position arrêt.",  // 27
        "La profondeur à laquelle le jeu s'inscrit dans la mémoire. En MPE, appuyer plus fort grave plus profond.",  // 28
    },
    // German
    {
        "Wie stark das Gedächtnis diese Spur färbt. 0 = das reine Instrument, 100 = voll eingraviert. Liest das Gedächtnis, schreibt nie.",  // 0
        "Wie viel Klang das Gedächtnis noch hinzufügen darf. 0 = sofort voller Klang, 100 = fast ein Sinus, bis du gespielt hast.",  // 1
        "0 = das Gedächtnis fügt dem Klang nur hinzu. 100 = es nimmt auch weg, was du nie spielst - die Spur spezialisiert sich.",  // 2
        "Welches Gedächtnis diese Spur liest: das lebende der Maschine oder den Schnappschuss im Projekt. Stufenlos mischbar.",  // 3
        "Der Resonator: Saite, Glocke, Glas... Jeder klingt mit eigenen Obertönen und nimmt das Gedächtnis anders an.",  // 4
        "Was den Körper anschlägt oder anstreicht. Saw und Square ersetzen das Rauschen durch einen Oszillator.",  // 5
        "Wie lange der Körper nach jedem Anschlag klingt, in Sekunden. Lange Werte machen aus jedem Anreger einen Drone.",  // 6
        "Wie schnell eine losgelassene Note verstummt. 0 = sie klingt frei aus, wie eine ungedämpfte Saite.",  // 7
        "Von rein bis metallisch: spreizt die Obertöne und gibt Drive dazu. Wenig macht dicker, viel scheppert.",  // 8
        "Die Saiten, die deinem Spiel antworten, gestimmt auf deine Intervalle. Spiel eine Weile Quinten: die Quinte antwortet.",  // 9
        "Wie schnell der Anreger einsetzt.",  // 10
        "Wie schnell der Anreger auf seinen Haltepegel sinkt.",  // 11
        "Wie stark der Anreger weiterschiebt, solange die Taste gehalten wird. Bei Bow und Breath alles, bei Mallet fast nichts.",  // 12
        "Wie schnell der Anreger stoppt, wenn du loslässt. Das Nachklingen danach ist Decay; Damper schneidet es ab.",  // 13
        "Wo der Tiefpass den Klang abzudunkeln beginnt. Folgt der Tastatur zur Hälfte.",  // 14
        "Betonung an der Grenzfrequenz. Hohe Werte knurren; ab etwa 130 singt das Filter von selbst.",  // 15
        "Wie weit sich der Cutoff bei jeder Note öffnet und wieder schließt, in Oktaven. Daher kommt das Zupfen.",  // 16
        "Wie schnell der Cutoff schwankt. 0 = aus.",  // 17
        "Wie weit der LFO den Cutoff bewegt. Braucht eine Rate über 0.",  // 18
        "Portamento: wie lange eine Note zur nächsten Tonhöhe gleitet.",  // 19
        "Wie viele Noten gleichzeitig klingen. Darüber hinaus wird zuerst der älteste Ausklang übernommen.",  // 20
        "Delay-Zeit.",  // 21
        "Delay-Pegel.",  // 22
        "Hallgröße.",  // 23
        "Hallpegel.",  // 24
        "Ausgangspegel.",  // 25
        "Oversampling des Filters. x4 und x8 klingen bei hoher Resonanz sauberer, kosten CPU, ohne zusätzliche Latenz.",  // 26
        "Nach wie vielen Tagen Stille vergessen ist, was du gespielt hast. Zählt auch bei geschlossener DAW. Kein Aus.",  // 27
        "Wie tief das Spiel ins Gedächtnis schreibt. Mit MPE schreibt stärkerer Druck tiefer.",  // 28
    },
    // Spanish
    {
        "Cuánto colorea la memoria esta pista. 0 = el instrumento desnudo, 100 = tallado del todo. Lee la memoria, nunca la escribe.",  // 0
        "Cuánto timbre queda para que lo añada la memoria. 0 = timbre completo ya, 100 = casi un seno hasta que hayas tocado.",  // 1
        "0 = la memoria solo añade al sonido. 100 = también quita lo que nunca tocas, así esta pista se especializa.",  // 2
        "Qué memoria lee esta pista: la viva de la máquina o la instantánea guardada en este proyecto. Mezcla entre ambas.",  // 3
        "El resonador: cuerda, campana, vidrio... Cada uno suena con sus propios armónicos y toma la memoria a su manera.",  // 4
        "Lo que golpea o frota el cuerpo. Saw y Square cambian el ruido por un oscilador.",  // 5
        "Cuánto resuena el cuerpo tras cada golpe, en segundos. Los valores largos convierten cualquier excitador en un drone.",  // 6
        "Qué tan rápido se apaga una nota soltada. 0 = resuena sola, como una cuerda sin apagador.",  // 7
        "De afinado a metálico: separa los armónicos y añade saturación. Poco da cuerpo, mucho suena a metal.",  // 8
        "Las cuerdas que responden a tu toque, afinadas a los intervalos que tallaste. Toca quintas un rato: la quinta empieza a responder.",  // 9
        "Qué tan rápido entra el excitador.",  // 10
        "Qué tan rápido se asienta el excitador en su nivel sostenido.",  // 11
        "Cuánto sigue empujando el excitador mientras mantienes la tecla. Todo en Bow y Breath, casi nada en Mallet.",  // 12
        "Qué tan rápido se detiene el excitador al soltar. La resonancia que sigue es Decay; Damper la corta.",  // 13
        "Dónde empieza el filtro paso bajo a oscurecer el sonido. Sigue al teclado a medias.",  // 14
        "Énfasis en el corte. Los valores altos gruñen; por encima de 130 el filtro canta solo.",  // 15
        "Cuánto se abre el corte en cada nota antes de volver a cerrarse, en octavas. De ahí sale el pellizco.",  // 16
        "Qué tan rápido oscila el corte. 0 = apagado.",  // 17
        "Cuánto mueve el LFO el corte. Necesita una velocidad mayor que 0.",  // 18
        "Portamento: cuánto tarda una nota en deslizarse a la siguiente altura.",  // 19
        "Cuántas notas suenan a la vez. Pasado eso, se roba primero la cola más antigua.",  // 20
        "Tiempo del delay.",  // 21
        "Nivel del delay.",  // 22
        "Tamaño de la reverb.",  // 23
        "Nivel de la reverb.",  // 24
        "Nivel de salida.",  // 25
        "Sobremuestreo del filtro. x4 y x8 suenan más limpios con resonancia alta, gastan CPU, no añaden latencia.",  // 26
        "Días de silencio necesarios para olvidar lo que tocaste. Cuenta aun con tu DAW cerrado. No se puede apagar.",  // 27
        "Qué tan hondo escribe tu toque en la memoria. Con MPE, apretar más fuerte escribe más hondo.",  // 28
    },
    // Italian
    {
        "Quanto la memoria colora questa traccia. 0 = lo strumento nudo, 100 = inciso del tutto. Legge la memoria, non la scrive mai.",  // 0
        "Quanto timbro resta da aggiungere alla memoria. 0 = timbro pieno subito, 100 = quasi una sinusoide finché non hai suonato.",  // 1
        "0 = la memoria aggiunge soltanto al suono. 100 = toglie anche ciò che non suoni mai, così la traccia si specializza.",  // 2
        "Quale memoria legge questa traccia: quella viva della macchina o l'istantanea salvata nel progetto. Si possono miscelare.",  // 3
        "Il risonatore: corda, campana, vetro... Ognuno suona con i propri armonici e prende la memoria in modo diverso.",  // 4
        "Ciò che percuote o strofina il corpo. Saw e Square sostituiscono il rumore con un oscillatore.",  // 5
        "Quanto risuona il corpo dopo ogni colpo, in secondi. Valori lunghi trasformano ogni eccitatore in un bordone.",  // 6
        "Quanto in fretta si spegne una nota rilasciata. 0 = risuona libera, come una corda senza smorzatore.",  // 7
        "Da intonato a metallico: allarga gli armonici e aggiunge drive. Poco ispessisce, molto sferraglia.",  // 8
        "Le corde che rispondono al tuo suonare, accordate sugli intervalli incisi. Suona quinte per un po': la quinta inizia a rispondere.",  // 9
        "Quanto in fretta entra l'eccitatore.",  // 10
        "Quanto in fretta l'eccitatore si assesta sul livello tenuto.",  // 11
        "Quanto l'eccitatore continua a spingere mentre tieni il tasto. Tutto su Bow e Breath, quasi niente su Mallet.",  // 12
        "Quanto in fretta l'eccitatore si ferma quando rilasci. La risonanza che segue è Decay; Damper la taglia.",  // 13
        "Dove il passa-basso inizia a scurire il suono. Segue la tastiera a metà.",  // 14
        "Enfasi sul taglio. Valori alti ringhiano; sopra circa 130 il filtro canta da solo.",  // 15
        "Quanto si apre il taglio a ogni nota prima di richiudersi, in ottave. È da qui che viene il pizzicato.",  // 16
        "Quanto in fretta oscilla il taglio. 0 = spento.",  // 17
        "Quanto l'LFO muove il taglio. Serve una velocità sopra 0.",  // 18
        "Portamento: quanto impiega una nota a scivolare all'altezza successiva.",  // 19
        "Quante note possono suonare insieme. Oltre, si ruba per prima la coda più vecchia.",  // 20
        "Tempo del delay.",  // 21
        "Livello del delay.",  // 22
        "Dimensione del riverbero.",  // 23
        "Livello del riverbero.",  // 24
        "Livello di uscita.",  // 25
        "Sovracampionamento del filtro. x4 e x8 suonano più puliti ad alta risonanza, costano CPU, senza latenza aggiunta.",  // 26
        "Giorni di silenzio necessari per dimenticare ciò che hai suonato. Conta anche a DAW chiusa. Non si spegne.",  // 27
        "Quanto a fondo il suonare scrive nella memoria. Con MPE, premere più forte scrive più a fondo.",  // 28
    },
    // Portuguese
    {
        "Quanto a memória colore esta faixa. 0 = o instrumento simples, 100 = totalmente gravado. Lê a memória, nunca a escreve.",  // 0
        "Quanto do timbre fica para a memória acrescentar. 0 = timbre completo já, 100 = quase uma sinusoide até ter tocado.",  // 1
        "0 = a memória só acrescenta ao som. 100 = também retira o que nunca toca, e esta faixa especializa-se.",  // 2
        "Que memória esta faixa lê: a viva da máquina ou o instantâneo guardado neste projeto. Misture entre as duas.",  // 3
        "O ressoador: corda, sino, vidro... Cada um soa com os seus harmónicos e recebe a memória à sua maneira.",  // 4
        "O que percute ou fricciona o corpo. Saw e Square trocam o ruído por um oscilador.",  // 5
        "Quanto tempo o corpo ressoa após cada golpe, em segundos. Valores longos tornam qualquer excitador num bordão.",  // 6
        "A rapidez com que uma nota largada se cala. 0 = ressoa livremente, como uma corda sem abafador.",  // 7
        "De afinado a metálico: afasta os harmónicos e acrescenta drive. Pouco engrossa, muito soa a lata.",  // 8
        "As cordas que respondem ao seu toque, afinadas nos intervalos gravados. Toque quintas algum tempo: a quinta começa a responder.",  // 9
        "A rapidez com que o excitador entra.",  // 10
        "A rapidez com que o excitador assenta no nível sustentado.",  // 11
        "Quanto o excitador continua a empurrar enquanto a tecla está premida. Tudo em Bow e Breath, quase nada em Mallet.",  // 12
        "A rapidez com que o excitador para ao largar. A ressonância que se segue é Decay; Damper corta-a.",  // 13
        "Onde o filtro passa-baixo começa a escurecer o som. Segue o teclado a meio.",  // 14
        "Ênfase no corte. Valores altos rosnam; acima de cerca de 130 o filtro canta sozinho.",  // 15
        "Quanto o corte abre em cada nota antes de voltar a fechar, em oitavas. É daqui que vem o dedilhado.",  // 16
        "A rapidez com que o corte oscila. 0 = desligado.",  // 17
        "Quanto o LFO move o corte. Precisa de velocidade acima de 0.",  // 18
        "Portamento: quanto tempo uma nota leva a deslizar para a altura seguinte.",  // 19
        "Quantas notas podem soar ao mesmo tempo. Além disso, a cauda mais antiga é roubada primeiro.",  // 20
        "Tempo do delay.",  // 21
        "Nível do delay.",  // 22
        "Tamanho da reverb.",  // 23
        "Nível da reverb.",  // 24
        "Nível de saída.",  // 25
        "Sobreamostragem do filtro. x4 e x8 soam mais limpos com ressonância alta, gastam CPU, sem latência extra.",  // 26
        "Dias de silêncio precisos para esquecer o que tocou. Conta mesmo com a DAW fechada. Não se desliga.",  // 27
        "Quão fundo o toque escreve na memória. Com MPE, premir com mais força escreve mais fundo.",  // 28
    },
};
// clang-format on

}  // namespace vrui
