<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Backfill</name>
    <message>
        <source>%1: 1 request</source>
        <translation>%1: 1 Anfrage</translation>
    </message>
    <message>
        <source>%1: %2 requests</source>
        <translation>%1: %2 Anfragen</translation>
    </message>
    <message>
        <source>%1: 1 release on this disk, no request</source>
        <translation>%1: 1 Release auf diesem Rechner, keine Anfrage</translation>
    </message>
    <message>
        <source>%1: %2 releases on this disk, no request</source>
        <translation>%1: %2 Releases auf diesem Rechner, keine Anfrage</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1: the date of release %2 cannot be told from its name</source>
        <translation>%1: das Datum des Release %2 ist seinem Namen nicht zu entnehmen</translation>
    </message>
    <message>
        <source>%1: its source keeps no history that can be asked</source>
        <translation>%1: seine Quelle führt keinen abfragbaren Verlauf</translation>
    </message>
    <message>
        <source>the link index %1 cannot be read</source>
        <translation>der Linkindex %1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>the saved search cannot keep this caption or count</source>
        <translation>die gespeicherte Suche kann diese Beschriftung oder Anzahl nicht aufnehmen</translation>
    </message>
    <message>
        <source>not saved: %1</source>
        <translation>nicht gespeichert: %1</translation>
    </message>
    <message>
        <source>%1: no release of the web graph on this disk can be dated</source>
        <translation>%1: kein Release des Webgraphen auf diesem Rechner lässt sich datieren</translation>
    </message>
</context>
<context>
    <name>ChartData</name>
    <message>
        <source>3D Bar Chart</source>
        <translation>3D-Balkendiagramm</translation>
    </message>
    <message>
        <source>2D Bar Chart</source>
        <translation>2D-Balkendiagramm</translation>
    </message>
    <message>
        <source>3d Line Graph</source>
        <translation>3D-Liniendiagramm</translation>
    </message>
    <message>
        <source>2D Line Graph</source>
        <translation>2D-Liniendiagramm</translation>
    </message>
    <message>
        <source>3D Area Chart</source>
        <translation>3D-Flächendiagramm</translation>
    </message>
    <message>
        <source>2D Area Chart</source>
        <translation>2D-Flächendiagramm</translation>
    </message>
    <message>
        <source>3D Step Chart</source>
        <translation>3D-Stufendiagramm</translation>
    </message>
    <message>
        <source>2D Step Chart</source>
        <translation>2D-Stufendiagramm</translation>
    </message>
    <message>
        <source>Control Key + Drag to rotate.</source>
        <translation>Strg-Taste + Ziehen zum Drehen.</translation>
    </message>
    <message>
        <source>Linking Sites x1000</source>
        <translation>Verlinkende Seiten x1000</translation>
    </message>
    <message>
        <source>Linking Sites x100</source>
        <translation>Verlinkende Seiten x100</translation>
    </message>
    <message>
        <source>Linking Sites x10</source>
        <translation>Verlinkende Seiten x10</translation>
    </message>
    <message>
        <source>Linking Sites</source>
        <translation>Verlinkende Seiten</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>tallyscope: standard output could not be written
</source>
        <translation>tallyscope: die Standardausgabe konnte nicht geschrieben werden
</translation>
    </message>
    <message>
        <source>tallyscope: %1 could not be written: %2
</source>
        <translation>tallyscope: %1 konnte nicht geschrieben werden: %2
</translation>
    </message>
    <message>
        <source>a saved search needs a name</source>
        <translation>eine gespeicherte Suche braucht einen Namen</translation>
    </message>
    <message>
        <source>the saved search name &quot;%1&quot; holds &quot;/&quot; or a control character</source>
        <translation>der Name „%1“ der gespeicherten Suche enthält „/“ oder ein Steuerzeichen</translation>
    </message>
    <message>
        <source>the saved search name &quot;%1&quot; is too long for a file name</source>
        <translation>der Name „%1“ der gespeicherten Suche ist für einen Dateinamen zu lang</translation>
    </message>
    <message>
        <source> (%1 of %2 requests failed)</source>
        <translation> (%1 von %2 Anfragen fehlgeschlagen)</translation>
    </message>
    <message>
        <source>tallyscope: nothing saved for %1: no engine gave a count
</source>
        <translation>tallyscope: nichts gespeichert für %1: keine Suchmaschine lieferte eine Anzahl
</translation>
    </message>
    <message>
        <source>an engine&apos;s caption or count holds what a saved search cannot keep</source>
        <translation>der Name oder die Anzahl einer Suchmaschine enthält etwas, das eine gespeicherte Suche nicht aufnehmen kann</translation>
    </message>
    <message>
        <source>tallyscope: the counts of %1 could not be saved to %2: %3
</source>
        <translation>tallyscope: die Anzahlen von %1 konnten nicht in %2 gespeichert werden: %3
</translation>
    </message>
    <message>
        <source>  ... and %1 more
</source>
        <translation>  … und %1 weitere
</translation>
    </message>
    <message>
        <source>the URL list %1 could not be read: %2</source>
        <translation>die URL-Liste %1 konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>the URL list %1 holds no URLs</source>
        <translation>die URL-Liste %1 enthält keine URLs</translation>
    </message>
    <message>
        <source>%1 has no host for &quot;{host}&quot; in the saved search name</source>
        <translation>%1 hat keinen Host für „{host}“ im Namen der gespeicherten Suche</translation>
    </message>
    <message>
        <source>%1 and %2 would both be saved as &quot;%3&quot;; put &quot;{host}&quot; in the name to save each site on its own</source>
        <translation>%1 und %2 würden beide als „%3“ gespeichert; nehmen Sie „{host}“ in den Namen auf, um jede Website einzeln zu speichern</translation>
    </message>
    <message>
        <source>Scanning %1 URLs with the settings of %2
</source>
        <translation>Abfrage von %1 URLs mit den Einstellungen aus %2
</translation>
    </message>
    <message>
        <source>there is no saved search named &quot;%1&quot; in %2</source>
        <translation>es gibt keine gespeicherte Suche namens „%1“ in %2</translation>
    </message>
    <message>
        <source>%1 could not be read: %2</source>
        <translation>%1 konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation>%1 erwartet keinen Wert</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>unbekannte Option %1</translation>
    </message>
    <message>
        <source>unexpected argument %1</source>
        <translation>unerwartetes Argument %1</translation>
    </message>
    <message>
        <source>%1 is given twice</source>
        <translation>%1 ist zweimal angegeben</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 braucht einen Wert</translation>
    </message>
    <message>
        <source>--csv and --json cannot both go to standard output</source>
        <translation>--csv und --json können nicht beide in die Standardausgabe schreiben</translation>
    </message>
    <message>
        <source>standard input</source>
        <translation>Standardeingabe</translation>
    </message>
    <message>
        <source>%1 %2 is the URL list itself</source>
        <translation>%1 %2 ist die URL-Liste selbst</translation>
    </message>
    <message>
        <source>%1 and %2 name the same file %3</source>
        <translation>%1 und %2 nennen dieselbe Datei %3</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>; nothing was asked</source>
        <translation>; es wurde nichts abgefragt</translation>
    </message>
    <message>
        <source>tallyscope: the run could not be recorded in %1: %2
</source>
        <translation>tallyscope: der Lauf konnte nicht in %1 festgehalten werden: %2
</translation>
    </message>
    <message>
        <source>Tallyscope: %1 refused</source>
        <translation>Tallyscope: %1 verweigerte</translation>
    </message>
    <message>
        <source>Tallyscope: %1 dropped</source>
        <translation>Tallyscope: %1 gefallen</translation>
    </message>
    <message>
        <source>tallyscope: the desktop was not told: %1
</source>
        <translation>tallyscope: der Desktop wurde nicht benachrichtigt: %1
</translation>
    </message>
    <message>
        <source>no user systemd instance answers (%1); the same schedule as a crontab line (crontab -e):
%2</source>
        <translation>keine systemd-Instanz des Benutzers antwortet (%1); derselbe Zeitplan als crontab-Zeile (crontab -e):
%2</translation>
    </message>
    <message>
        <source>%1: %2, %3 (%4)
</source>
        <translation>%1: %2, %3 (%4)
</translation>
    </message>
    <message>
        <source>there is no schedule named &quot;%1&quot;</source>
        <translation>es gibt keinen Zeitplan namens &quot;%1&quot;</translation>
    </message>
    <message>
        <source>next %1</source>
        <translation>nächster %1</translation>
    </message>
    <message>
        <source>last %1: %2 counted, %3 failed, exit %4</source>
        <translation>letzter %1: %2 gezählt, %3 fehlgeschlagen, Rückgabewert %4</translation>
    </message>
    <message>
        <source>the URL list %1 of the schedule %2 is gone</source>
        <translation>die URL-Liste %1 des Zeitplans %2 fehlt</translation>
    </message>
    <message>
        <source>%1 and %2 cannot be combined</source>
        <translation>%1 und %2 können nicht kombiniert werden</translation>
    </message>
    <message>
        <source>%1 belongs to %2</source>
        <translation>%1 gehört zu %2</translation>
    </message>
    <message>
        <source>--schedule needs --list FILE</source>
        <translation>--schedule braucht --list FILE</translation>
    </message>
    <message>
        <source>--every takes daily, weekly or a number of hours such as 6h, not %1</source>
        <translation>--every nimmt daily, weekly oder eine Stundenzahl wie 6h, nicht %1</translation>
    </message>
    <message numerus="yes">
        <source>tallyscope: a click on the notification opens the history; waiting for it at most %n minutes
</source>
        <translation>
            <numerusform>tallyscope: ein Klick auf die Meldung öffnet den Verlauf; darauf wird höchstens %n Minute gewartet
</numerusform>
            <numerusform>tallyscope: ein Klick auf die Meldung öffnet den Verlauf; darauf wird höchstens %n Minuten gewartet
</numerusform>
        </translation>
    </message>
    <message>
        <source>--history needs the name of a saved search</source>
        <translation>--history braucht den Namen einer gespeicherten Suche</translation>
    </message>
    <message>
        <source>a saved search could not be read: %1</source>
        <translation>eine gespeicherte Suche konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>several saved searches side by side need --source SECTION</source>
        <translation>mehrere gespeicherte Suchen nebeneinander brauchen --source SECTION</translation>
    </message>
    <message>
        <source>  not filled in: %1
</source>
        <translation>  nicht ergänzt: %1
</translation>
    </message>
    <message>
        <source>no column can look back; nothing was asked</source>
        <translation>keine Spalte kann zurückblicken; nichts wurde abgefragt</translation>
    </message>
    <message>
        <source>Filling in the past of %1 sites since %2: %3
</source>
        <translation>Die Vergangenheit von %1 Websites seit %2 wird ergänzt: %3
</translation>
    </message>
    <message>
        <source>  %1, %2: %3 given, %4 new
</source>
        <translation>  %1, %2: %3 geliefert, %4 neu
</translation>
    </message>
    <message>
        <source>--scan LIST, --backfill LIST or --export-history NAME is needed</source>
        <translation>--scan LIST, --backfill LIST oder --export-history NAME wird benötigt</translation>
    </message>
    <message>
        <source>--backfill needs --save NAME (the saved searches to fill in)</source>
        <translation>--backfill braucht --save NAME (die zu ergänzenden gespeicherten Suchen)</translation>
    </message>
    <message>
        <source>--months takes a whole number from 1 to %1, not %2</source>
        <translation>--months nimmt eine ganze Zahl von 1 bis %1, nicht %2</translation>
    </message>
    <message>
        <source>Usage: tallyscope [--history NAME]
  or:  tallyscope --scan LIST [--save NAME] [--csv FILE|-] [--json FILE|-] [--quiet]
  or:  tallyscope --backfill LIST --save NAME [--months N] [--quiet]
  or:  tallyscope --export-history NAME [NAME2 ... --source SECTION] [--csv FILE|-]
                  [--json FILE|-]
  or:  tallyscope --schedule NAME --list FILE [--every daily|weekly|Nh] [--at HH:MM]
                  [--day mon..sun] [--notify-drop PERCENT] [--save NAME]
  or:  tallyscope --unschedule NAME | --schedules | --run-schedule NAME [--quiet]
  or:  tallyscope --help | --version
Without a command, tallyscope starts its window (--history NAME: at the history of
the saved search NAME).

  --scan LIST            scan the URLs of a list file (one per line; - for standard
                         input) without a window, with the engines and settings the
                         window uses
  --save NAME            add today&apos;s counts to the saved search NAME (made when it
                         does not exist; NAME.vqz is the same); {host} in NAME stands
                         for each URL&apos;s host, one saved search per site
  --csv FILE             write the results as CSV (- for standard output; the default
                         when neither --json nor --save is given)
  --json FILE            write the results as JSON (- for standard output)
  --quiet                nothing on standard error unless something failed
  --backfill LIST        fill in the past of each URL&apos;s saved search (--save NAME,
                         {host} as above) from every column that can look back: the
                         sources&apos; own history (DataForSEO, Ahrefs; one request per
                         site, which may cost money) and the Common Crawl releases on
                         this disk; each point at its own date, no saved day changed
  --months N             how far --backfill looks back (24; at most 120)
  --export-history NAME  write the history of a saved search as CSV, one row per date
                         (with each point&apos;s source and release where they are
                         known), or with --json as JSON, one object per point;
                         several names and --source SECTION: that section of each,
                         side by side, oldest date first
  --schedule NAME        scan the list FILE on a schedule, run by the user&apos;s systemd
                         (a service and a timer tallyscope-NAME; a run missed while
                         the machine was off happens at the next start): daily (the
                         default), weekly on --day, or every N hours, at --at (03:00);
                         each site saved as --save says ({host}); the desktop is told
                         of a source that refused and of a count that fell by more
                         than --notify-drop percent (10; 0 for never)
  --unschedule NAME      remove a schedule and its units
  --schedules            list the schedules, their next run and last result
  --run-schedule NAME    what a schedule&apos;s service runs: its scan, saved, recorded
                         and told; while the desktop shows what it was told (at most
                         10 minutes) a click opens the window at the site&apos;s history

Progress and a summary go to standard error. Exit status: 0 every request gave a
count, 1 some requests failed, 2 bad arguments or unreadable input (the list,
settings.ini, engines.ini) or an output that is the list or the other output, 3 a
result could not be written (or a schedule&apos;s list is gone), 4 no request gave a count
at all, 5 a source refused (a key refused, a quota spent, an engine definition that
cannot work): check Tools &gt; Sources in the window. A schedule&apos;s service counts 0
and 1 as success.
</source>
        <translation>Aufruf: tallyscope [--history NAME]
  oder: tallyscope --scan LIST [--save NAME] [--csv FILE|-] [--json FILE|-] [--quiet]
  oder: tallyscope --backfill LIST --save NAME [--months N] [--quiet]
  oder: tallyscope --export-history NAME [NAME2 ... --source SECTION] [--csv FILE|-]
                  [--json FILE|-]
  oder: tallyscope --schedule NAME --list FILE [--every daily|weekly|Nh] [--at HH:MM]
                  [--day mon..sun] [--notify-drop PERCENT] [--save NAME]
  oder: tallyscope --unschedule NAME | --schedules | --run-schedule NAME [--quiet]
  oder: tallyscope --help | --version
Ohne Befehl öffnet tallyscope sein Fenster (--history NAME: beim Verlauf der
gespeicherten Suche NAME).

  --scan LIST            die URLs einer Listendatei (eine pro Zeile; - für die
                         Standardeingabe) ohne Fenster abfragen, mit den Suchmaschinen
                         und Einstellungen des Fensters
  --save NAME            die heutigen Anzahlen der gespeicherten Suche NAME hinzufügen
                         (sie wird angelegt, wenn es sie nicht gibt; NAME.vqz ist
                         dasselbe); {host} in NAME steht für den Host jeder URL, eine
                         gespeicherte Suche pro Website
  --csv FILE             die Ergebnisse als CSV schreiben (- für die Standardausgabe; die
                         Vorgabe, wenn weder --json noch --save angegeben ist)
  --json FILE            die Ergebnisse als JSON schreiben (- für die Standardausgabe)
  --quiet                nichts in die Standardfehlerausgabe, außer wenn etwas
                         fehlschlug
  --backfill LIST        die Vergangenheit der gespeicherten Suche jeder URL (--save NAME,
                         {host} wie oben) aus jeder Spalte ergänzen, die zurückblicken
                         kann: dem Verlauf der Quellen selbst (DataForSEO, Ahrefs; eine
                         Anfrage pro Website, die Geld kosten kann) und den Common-Crawl-
                         Releases auf diesem Rechner; jeder Punkt an seinem Datum, kein
                         gespeicherter Tag geändert
  --months N             wie weit --backfill zurückblickt (24; höchstens 120)
  --export-history NAME  den Verlauf einer gespeicherten Suche als CSV schreiben, eine Zeile
                         pro Datum
                         (mit Quelle und Release jedes Punkts, wo sie bekannt sind), oder
                         mit --json als JSON, ein Objekt pro Punkt; mehrere Namen und
                         --source SECTION: dieser Abschnitt jeder Suche nebeneinander,
                         ältestes Datum zuerst
  --schedule NAME        die Liste FILE nach Zeitplan abfragen, ausgeführt vom systemd des
                         Benutzers (ein Dienst und ein Timer tallyscope-NAME; ein Lauf, der
                         verpasst wurde, während der Rechner aus war, folgt beim nächsten
                         Start): täglich (die Vorgabe), wöchentlich am Tag --day oder alle
                         N Stunden, um --at (03:00); jede Website gespeichert, wie --save
                         sagt ({host}); der Desktop erfährt von einer Quelle, die
                         verweigerte, und von einer Anzahl, die um mehr als --notify-drop
                         Prozent fiel (10; 0 für nie)
  --unschedule NAME      einen Zeitplan und seine Units entfernen
  --schedules            die Zeitpläne auflisten, mit nächstem Lauf und letztem Ergebnis
  --run-schedule NAME    was der Dienst eines Zeitplans ausführt: seine Abfrage,
                         gespeichert, festgehalten und gemeldet; solange der Desktop die
                         Meldung zeigt (höchstens 10 Minuten), öffnet ein Klick das Fenster
                         beim Verlauf der Website

Fortschritt und Zusammenfassung gehen in die Standardfehlerausgabe. Rückgabewert: 0 jede
Anfrage lieferte eine Anzahl, 1 einige Anfragen schlugen fehl, 2 ungültige Argumente oder
unlesbare Eingabe (die Liste, settings.ini, engines.ini) oder eine Ausgabe, die die Liste
oder die andere Ausgabe ist, 3 ein Ergebnis konnte nicht geschrieben werden (oder die Liste
eines Zeitplans fehlt), 4 keine Anfrage lieferte überhaupt eine Anzahl, 5 eine Quelle
verweigerte (ein Schlüssel abgelehnt, ein Kontingent verbraucht, eine
Suchmaschinendefinition, die nicht funktionieren kann): prüfen Sie Werkzeuge &gt; Quellen im
Fenster. Der Dienst eines Zeitplans wertet 0 und 1 als Erfolg.
</translation>
    </message>
</context>
<context>
    <name>DesktopNotifications</name>
    <message>
        <source>%1: %2 → %3 (−%4 %) since %5</source>
        <translation>%1: %2 → %3 (−%4 %) seit %5</translation>
    </message>
    <message>
        <source>no session bus: %1</source>
        <translation>kein Sitzungsbus: %1</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Show history</source>
        <translation>Verlauf zeigen</translation>
    </message>
</context>
<context>
    <name>DomainNames</name>
    <message>
        <source>the Public Suffix List cannot be read (is the publicsuffix package installed?)</source>
        <translation>die Public Suffix List kann nicht gelesen werden (ist das Paket publicsuffix installiert?)</translation>
    </message>
    <message>
        <source>an IP address (the web graphs hold host names only)</source>
        <translation>eine IP-Adresse (die Webgraphen enthalten nur Hostnamen)</translation>
    </message>
    <message>
        <source>not a web address with a host name</source>
        <translation>keine Webadresse mit Hostnamen</translation>
    </message>
</context>
<context>
    <name>EngineDefinitions</name>
    <message>
        <source>preset %1: %2</source>
        <translation>Vorlage %1: %2</translation>
    </message>
    <message>
        <source>Method takes GET or POST, not &quot;%1&quot;</source>
        <translation>Method erwartet GET oder POST, nicht „%1“</translation>
    </message>
    <message>
        <source>BasicAuth takes the names of two keys, USER,SECRET, not &quot;%1&quot;</source>
        <translation>BasicAuth erwartet die Namen zweier Schlüssel, USER,SECRET, nicht „%1“</translation>
    </message>
    <message>
        <source>Separator takes one character, not &quot;%1&quot;</source>
        <translation>Separator erwartet ein Zeichen, nicht „%1“</translation>
    </message>
    <message>
        <source>OkPointer%1 has no OkValue%1 (the text a good answer holds there)</source>
        <translation>OkPointer%1 hat kein OkValue%1 (den Text, den eine gute Antwort dort enthält)</translation>
    </message>
    <message>
        <source>OkValue%1 has no OkPointer%1</source>
        <translation>OkValue%1 hat keinen OkPointer%1</translation>
    </message>
    <message>
        <source>no Column (the heading of the count&apos;s column, such as domains_num)</source>
        <translation>keine Column (die Überschrift der Spalte mit der Anzahl, etwa domains_num)</translation>
    </message>
    <message>
        <source>Address must start with http:// or https://</source>
        <translation>Address muss mit http:// oder https:// beginnen</translation>
    </message>
    <message>
        <source>a Body is sent only with Method=POST</source>
        <translation>ein Body wird nur mit Method=POST gesendet</translation>
    </message>
    <message>
        <source>ContentType holds a line break</source>
        <translation>ContentType enthält einen Zeilenumbruch</translation>
    </message>
    <message>
        <source>Server: %1</source>
        <translation>Server: %1</translation>
    </message>
    <message>
        <source>no API keys: give %1 values in section %2 of %3</source>
        <translation>keine API-Schlüssel: geben Sie %1 Werte im Abschnitt %2 von %3</translation>
    </message>
    <message>
        <source> and </source>
        <translation> und </translation>
    </message>
    <message>
        <source>The six built-in engines (there is no %1).</source>
        <translation>Die sechs eingebauten Suchmaschinen (es gibt keine %1).</translation>
    </message>
    <message>
        <source>The engines as %1 defines them.</source>
        <translation>Die Suchmaschinen, wie %1 sie festlegt.</translation>
    </message>
    <message>
        <source>off: it sends nothing, and its column counts nothing</source>
        <translation>aus: sendet nichts, und ihre Spalte zählt nichts</translation>
    </message>
    <message>
        <source>the built-in search engine: it no longer reports link counts</source>
        <translation>die eingebaute Suchmaschine: sie meldet keine Linkzahlen mehr</translation>
    </message>
    <message>
        <source>preset %1</source>
        <translation>Vorlage %1</translation>
    </message>
    <message>
        <source>, the sum of %1 over %2</source>
        <translation>, die Summe von %1 über %2</translation>
    </message>
    <message>
        <source>, the count in column %1</source>
        <translation>, die Anzahl in Spalte %1</translation>
    </message>
    <message>
        <source>, a score kept out of the total</source>
        <translation>, ein Wert, der nicht in die Summe eingeht</translation>
    </message>
    <message>
        <source>, key %1</source>
        <translation>, Schlüssel %1</translation>
    </message>
    <message>
        <source>, keys %1</source>
        <translation>, Schlüssel %1</translation>
    </message>
    <message>
        <source>the section [%1] is written %2 times in %3: join them into one</source>
        <translation>der Abschnitt [%1] steht %2-mal in %3: fassen Sie ihn zu einem zusammen</translation>
    </message>
    <message>
        <source> on %1</source>
        <translation> bei %1</translation>
    </message>
    <message>
        <source>the API key %1 cannot be read: the settings in %2 cannot be read (%3)</source>
        <translation>der API-Schlüssel %1 kann nicht gelesen werden: die Einstellungen in %2 können nicht gelesen werden (%3)</translation>
    </message>
    <message>
        <source>the API keys %1 cannot be read: the settings in %2 cannot be read (%3)</source>
        <translation>die API-Schlüssel %1 können nicht gelesen werden: die Einstellungen in %2 können nicht gelesen werden (%3)</translation>
    </message>
    <message>
        <source>no Index, and %1</source>
        <translation>kein Index, und %1</translation>
    </message>
    <message>
        <source>Caption is empty</source>
        <translation>Caption ist leer</translation>
    </message>
    <message>
        <source>Caption &quot;%1&quot; is longer than 40 characters</source>
        <translation>Caption „%1“ ist länger als 40 Zeichen</translation>
    </message>
    <message>
        <source>Caption &quot;%1&quot; holds &quot;%2&quot;, which a saved search cannot keep in a section name</source>
        <translation>Caption „%1“ enthält „%2“, das eine gespeicherte Suche nicht in einem Abschnittsnamen halten kann</translation>
    </message>
    <message>
        <source>a control character</source>
        <translation>ein Steuerzeichen</translation>
    </message>
    <message>
        <source>Caption &quot;%1&quot; is the name of another column or row</source>
        <translation>Caption „%1“ ist der Name einer anderen Spalte oder Zeile</translation>
    </message>
    <message>
        <source>CountBefore is empty: nothing marks the count</source>
        <translation>CountBefore ist leer: nichts kennzeichnet die Anzahl</translation>
    </message>
    <message>
        <source>Header%1 holds a line break</source>
        <translation>Header%1 enthält einen Zeilenumbruch</translation>
    </message>
    <message>
        <source>Header%1 sets %2, which the request sets itself</source>
        <translation>Header%1 setzt %2, das die Anfrage selbst setzt</translation>
    </message>
    <message>
        <source>the API key %1 holds a line break</source>
        <translation>der API-Schlüssel %1 enthält einen Zeilenumbruch</translation>
    </message>
    <message>
        <source>no API key: give %1 a value in section %2 of %3</source>
        <translation>kein API-Schlüssel: geben Sie %1 einen Wert im Abschnitt %2 von %3</translation>
    </message>
    <message>
        <source>link index: %1</source>
        <translation>Linkindex: %1</translation>
    </message>
    <message>
        <source>link index: %1 holds no %2 (import the release with %3)</source>
        <translation>Linkindex: %1 enthält kein %2 (importieren Sie die Ausgabe mit %3)</translation>
    </message>
    <message>
        <source>its edges file</source>
        <translation>ihrer Kantendatei</translation>
    </message>
    <message>
        <source>engine definition: %1</source>
        <translation>Definition der Suchmaschine: %1</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>none of its sections is a column&apos;s ([Google], [Altavista], [Yahoo], [Ask], [MSN] or [ATW]): it is not an engines.ini this program can read</source>
        <translation>keiner ihrer Abschnitte gehört zu einer Spalte ([Google], [Altavista], [Yahoo], [Ask], [MSN] oder [ATW]): es ist keine engines.ini, die dieses Programm lesen kann</translation>
    </message>
    <message>
        <source>codes without CodePointer (the place of the provider&apos;s code)</source>
        <translation>Codes ohne CodePointer (die Stelle des eigenen Codes des Anbieters)</translation>
    </message>
    <message>
        <source>HistoryAddress needs HistoryDate and HistoryCount (the members of each point holding its date and its count)</source>
        <translation>HistoryAddress braucht HistoryDate und HistoryCount (die Felder jedes Punkts mit seinem Datum und seiner Anzahl)</translation>
    </message>
    <message>
        <source>HistoryAddress is read only from a json slot&apos;s answer</source>
        <translation>HistoryAddress wird nur aus der Antwort eines json-Platzes gelesen</translation>
    </message>
    <message>
        <source>HistoryAddress must start with http:// or https://</source>
        <translation>HistoryAddress muss mit http:// oder https:// beginnen</translation>
    </message>
    <message>
        <source>the %1 is not JSON (%2 at byte %3)</source>
        <translation>%1 ist kein JSON (%2 bei Byte %3)</translation>
    </message>
</context>
<context>
    <name>EngineOutcome</name>
    <message>
        <source>API key refused</source>
        <translation>API-Schlüssel abgelehnt</translation>
    </message>
    <message>
        <source>API key refused (%1)</source>
        <translation>API-Schlüssel abgelehnt (%1)</translation>
    </message>
    <message>
        <source>the API answered</source>
        <translation>die API antwortete</translation>
    </message>
    <message>
        <source>page not recognised: %1</source>
        <translation>Seite nicht erkannt: %1</translation>
    </message>
    <message>
        <source>the value at %1</source>
        <translation>der Wert bei %1</translation>
    </message>
    <message>
        <source>%1 is JSON null, not a count</source>
        <translation>%1 ist JSON null, keine Anzahl</translation>
    </message>
    <message>
        <source>%1 is a string (%2), not a count</source>
        <translation>%1 ist eine Zeichenkette (%2), keine Anzahl</translation>
    </message>
    <message>
        <source>%1 is %2, not a count</source>
        <translation>%1 ist %2, keine Anzahl</translation>
    </message>
    <message>
        <source>%1 is an array, not a count</source>
        <translation>%1 ist ein Array, keine Anzahl</translation>
    </message>
    <message>
        <source>%1 is an object, not a count</source>
        <translation>%1 ist ein Objekt, keine Anzahl</translation>
    </message>
    <message>
        <source>nothing at %1</source>
        <translation>nichts bei %1</translation>
    </message>
    <message>
        <source>%1 is a negative number (%2), not a count</source>
        <translation>%1 ist eine negative Zahl (%2), keine Anzahl</translation>
    </message>
    <message>
        <source>%1 is a decimal (%2), not a count</source>
        <translation>%1 ist eine Dezimalzahl (%2), keine Anzahl</translation>
    </message>
    <message>
        <source>count too large (%1 at %2)</source>
        <translation>Anzahl zu groß (%1 bei %2)</translation>
    </message>
    <message>
        <source>%1 is %2 (%3), not a count</source>
        <translation>%1 ist %2 (%3), keine Anzahl</translation>
    </message>
    <message>
        <source>a decimal</source>
        <translation>eine Dezimalzahl</translation>
    </message>
    <message>
        <source>a negative number</source>
        <translation>eine negative Zahl</translation>
    </message>
    <message>
        <source>count too large (%1 in %2)</source>
        <translation>Anzahl zu groß (%1 in %2)</translation>
    </message>
    <message>
        <source>the answer is empty</source>
        <translation>die Antwort ist leer</translation>
    </message>
    <message>
        <source>no column %1 in %2</source>
        <translation>keine Spalte %1 in %2</translation>
    </message>
    <message>
        <source>no row under the heading</source>
        <translation>keine Zeile unter der Überschrift</translation>
    </message>
    <message>
        <source>the first row has no %1</source>
        <translation>die erste Zeile hat kein %1</translation>
    </message>
    <message>
        <source>the %1 column</source>
        <translation>die Spalte %1</translation>
    </message>
    <message>
        <source>not JSON (%1)</source>
        <translation>kein JSON (%1)</translation>
    </message>
    <message>
        <source>%1 at %2, not %3</source>
        <translation>%1 bei %2, nicht %3</translation>
    </message>
    <message>
        <source>the answer has %1 pages, more than the %2 read</source>
        <translation>die Antwort hat %1 Seiten, mehr als die %2 gelesenen</translation>
    </message>
    <message>
        <source>the value at %1 is not an array</source>
        <translation>der Wert bei %1 ist kein Array</translation>
    </message>
    <message>
        <source>count too large (the sum over %1)</source>
        <translation>Anzahl zu groß (die Summe über %1)</translation>
    </message>
    <message>
        <source>skipped: blocked earlier in this run</source>
        <translation>übersprungen: in diesem Durchlauf schon gesperrt</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>angehalten</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>page not recognised: the answer has %1 pages, and only the first was read</source>
        <translation>Seite nicht erkannt: die Antwort hat %1 Seiten, und nur die erste wurde gelesen</translation>
    </message>
    <message>
        <source>page not recognised</source>
        <translation>Seite nicht erkannt</translation>
    </message>
    <message>
        <source>page %1: </source>
        <translation>Seite %1: </translation>
    </message>
    <message>
        <source>count too large (the sum over the pages)</source>
        <translation>Anzahl zu groß (die Summe über die Seiten)</translation>
    </message>
    <message>
        <source>stopped after %1 of %2 pages</source>
        <translation>angehalten nach %1 von %2 Seiten</translation>
    </message>
    <message>
        <source>engine definition: no link index</source>
        <translation>Definition der Suchmaschine: kein Linkindex</translation>
    </message>
    <message>
        <source>no %1 for %2 in %3</source>
        <translation>kein %1 für %2 in %3</translation>
    </message>
    <message>
        <source>link index damaged: %1</source>
        <translation>Linkindex beschädigt: %1</translation>
    </message>
    <message>
        <source>index changed during the scan: %1</source>
        <translation>Index während der Suche geändert: %1</translation>
    </message>
    <message>
        <source>not in %1 (looked for %2)</source>
        <translation>nicht in %1 (gesucht nach %2)</translation>
    </message>
    <message>
        <source>HTTP status %1</source>
        <translation>HTTP-Status %1</translation>
    </message>
    <message>
        <source>blocked by the engine (%1)</source>
        <translation>von der Suchmaschine gesperrt (%1)</translation>
    </message>
    <message>
        <source>could not connect: %1</source>
        <translation>keine Verbindung möglich: %1</translation>
    </message>
    <message>
        <source>timed out: %1</source>
        <translation>Zeitüberschreitung: %1</translation>
    </message>
    <message>
        <source>bad reply: %1</source>
        <translation>ungültige Antwort: %1</translation>
    </message>
    <message>
        <source> or </source>
        <translation> oder </translation>
    </message>
    <message>
        <source>captcha page</source>
        <translation>Captcha-Seite</translation>
    </message>
    <message>
        <source>unusual traffic page</source>
        <translation>Seite „ungewöhnlicher Datenverkehr“</translation>
    </message>
    <message>
        <source>consent page</source>
        <translation>Einwilligungsseite</translation>
    </message>
    <message>
        <source>%1 (check the key and the plan in Tools › Sources)</source>
        <translation>%1 (prüfen Sie Schlüssel und Tarif unter Werkzeuge › Quellen)</translation>
    </message>
    <message>
        <source>quota spent</source>
        <translation>Kontingent verbraucht</translation>
    </message>
    <message>
        <source>quota spent (%1)</source>
        <translation>Kontingent verbraucht (%1)</translation>
    </message>
    <message>
        <source>rate limited (%1)</source>
        <translation>Anfragelimit erreicht (%1)</translation>
    </message>
    <message>
        <source>site not held by the account (%1)%2; list the site exactly as it is verified with the provider</source>
        <translation>Website gehört nicht zum Konto (%1)%2; die Website genau so eintragen, wie sie beim Anbieter bestätigt ist</translation>
    </message>
    <message>
        <source>code %1</source>
        <translation>Code %1</translation>
    </message>
    <message>
        <source>no date at %1%2</source>
        <translation>kein Datum bei %1%2</translation>
    </message>
    <message>
        <source>nothing at %1%2</source>
        <translation>nichts bei %1%2</translation>
    </message>
</context>
<context>
    <name>EnginePresets</name>
    <message>
        <source>unknown preset &quot;%1&quot; (%2)</source>
        <translation>unbekannte Vorlage „%1“ (%2)</translation>
    </message>
    <message>
        <source>no presets are installed in %1</source>
        <translation>in %1 sind keine Vorlagen installiert</translation>
    </message>
    <message>
        <source>the preset %1 cannot be read: %2</source>
        <translation>die Vorlage %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>the preset file %1 has no [%2] section</source>
        <translation>die Vorlagendatei %1 hat keinen Abschnitt [%2]</translation>
    </message>
</context>
<context>
    <name>EngineRequest</name>
    <message>
        <source>engine definition: no API key: give %1 a value in section %2 of %3</source>
        <translation>Definition der Suchmaschine: kein API-Schlüssel: geben Sie %1 einen Wert im Abschnitt %2 von %3</translation>
    </message>
    <message>
        <source>could not connect: no host name in the address</source>
        <translation>keine Verbindung möglich: die Adresse enthält keinen Hostnamen</translation>
    </message>
    <message>
        <source>engine definition: the API key in %1 holds a line break</source>
        <translation>Definition der Suchmaschine: der API-Schlüssel in %1 enthält einen Zeilenumbruch</translation>
    </message>
    <message>
        <source>could not connect: the value of {%1} in %2 holds a line break, which a header cannot carry</source>
        <translation>keine Verbindung möglich: der Wert von {%1} in %2 enthält einen Zeilenumbruch, den ein Header nicht tragen kann</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not scheme://host[:port]</source>
        <translation>„%1“ ist nicht schema://host[:port]</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is neither http nor https</source>
        <translation>„%1“ ist weder http noch https</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a port</source>
        <translation>„%1“ ist kein Port</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a host name</source>
        <translation>„%1“ ist kein Hostname</translation>
    </message>
    <message>
        <source>engine definition: this kind of slot makes no request</source>
        <translation>Definition der Suchmaschine: diese Art von Platz stellt keine Anfrage</translation>
    </message>
    <message>
        <source>the prefix</source>
        <translation>das Präfix</translation>
    </message>
    <message>
        <source>the header </source>
        <translation>der Header </translation>
    </message>
    <message>
        <source>engine definition: the key %1 holds &quot;:&quot;, which HTTP Basic authentication cannot carry in a user name</source>
        <translation>Definition der Suchmaschine: der Schlüssel %1 enthält „:“, das die HTTP-Basic-Authentifizierung in einem Benutzernamen nicht tragen kann</translation>
    </message>
    <message>
        <source>engine definition: the Body is not JSON once filled in (%1)</source>
        <translation>Definition der Suchmaschine: der Body ist nach dem Ausfüllen kein JSON (%1)</translation>
    </message>
    <message>
        <source>could not connect: %1 is not a web address</source>
        <translation>keine Verbindung möglich: %1 ist keine Webadresse</translation>
    </message>
    <message>
        <source>engine definition: a request that carries a key must write out its server (https://host/...) before any placeholder or URL</source>
        <translation>Definition der Suchmaschine: eine Anfrage mit Schlüssel muss ihren Server (https://host/...) vor jedem Platzhalter und jeder URL ausschreiben</translation>
    </message>
    <message>
        <source>engine definition: the key would go to %1, not to %2</source>
        <translation>Definition der Suchmaschine: der Schlüssel ginge an %1, nicht an %2</translation>
    </message>
    <message>
        <source>an address without a host</source>
        <translation>eine Adresse ohne Host</translation>
    </message>
    <message>
        <source>unknown placeholder %1 in %2</source>
        <translation>unbekannter Platzhalter %1 in %2</translation>
    </message>
    <message>
        <source>%1 in %2 takes nothing after &quot;:&quot;</source>
        <translation>%1 in %2 erwartet nichts nach „:“</translation>
    </message>
    <message>
        <source>%1 in %2 needs a format after &quot;:&quot; ({date:yyyy-MM-dd})</source>
        <translation>%1 in %2 braucht ein Format nach „:“ ({date:yyyy-MM-dd})</translation>
    </message>
    <message>
        <source>%1 in %2 names no key</source>
        <translation>%1 in %2 nennt keinen Schlüssel</translation>
    </message>
    <message>
        <source>not configured: settings.ini has no query prefix for %1 (Tools › Options)</source>
        <translation>nicht eingerichtet: settings.ini hat kein Abfragepräfix für %1 (Werkzeuge › Einstellungen)</translation>
    </message>
    <message>
        <source>engine definition: this source keeps no history</source>
        <translation>Suchmaschinendefinition: diese Quelle führt keinen Verlauf</translation>
    </message>
</context>
<context>
    <name>FileExport</name>
    <message>
        <source>CSV Files (*.csv);;All Files (*)</source>
        <translation>CSV-Dateien (*.csv);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>The export could not be saved to</source>
        <translation>Der Export konnte nicht gespeichert werden in</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
</context>
<context>
    <name>FileLock</name>
    <message>
        <source>Its lock file %1 could not be made: %2</source>
        <translation>Ihre Sperrdatei %1 konnte nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>Its lock file %1 could not be locked: %2</source>
        <translation>Ihre Sperrdatei %1 konnte nicht gesperrt werden: %2</translation>
    </message>
    <message>
        <source>Another program has been changing it for more than %1 s (it holds the lock file %2); nothing was written</source>
        <translation>Ein anderes Programm ändert sie seit mehr als %1 s (es hält die Sperrdatei %2); nichts wurde geschrieben</translation>
    </message>
</context>
<context>
    <name>GraphFetch</name>
    <message>
        <source>the list of releases is not a JSON array (%1)</source>
        <translation>die Liste der Ausgaben ist kein JSON-Array (%1)</translation>
    </message>
    <message>
        <source>another JSON value</source>
        <translation>ein anderer JSON-Wert</translation>
    </message>
    <message>
        <source>the list of releases names no release</source>
        <translation>die Liste der Ausgaben nennt keine Ausgabe</translation>
    </message>
</context>
<context>
    <name>GraphImport</name>
    <message>
        <source> (it looks like a ranks file: give it with --ranks)</source>
        <translation> (sie sieht wie eine Rangdatei aus: geben Sie sie mit --ranks an)</translation>
    </message>
    <message>
        <source> (it looks like an edges file: are the vertices and edges files swapped?)</source>
        <translation> (sie sieht wie eine Kantendatei aus: sind Knoten- und Kantendatei vertauscht?)</translation>
    </message>
    <message>
        <source> (it looks like a vertices file: are the files given in the wrong order?)</source>
        <translation> (sie sieht wie eine Knotendatei aus: sind die Dateien in falscher Reihenfolge angegeben?)</translation>
    </message>
    <message>
        <source>an edges file</source>
        <translation>eine Kantendatei</translation>
    </message>
    <message>
        <source>a %1 file</source>
        <translation>eine %1-Datei</translation>
    </message>
    <message>
        <source>%1 does not read as %2: %3 of its %4 lines are &quot;%5&quot;%6</source>
        <translation>%1 lässt sich nicht als %2 lesen: %3 ihrer %4 Zeilen sind „%5“%6</translation>
    </message>
    <message>
        <source>the index would replace %1, which it is made from: give another --out</source>
        <translation>der Index würde %1 ersetzen, aus der er erstellt wird: geben Sie ein anderes --out an</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>cancelled; nothing was written</source>
        <translation>abgebrochen; nichts wurde geschrieben</translation>
    </message>
    <message>
        <source>the names are out of order</source>
        <translation>die Namen sind nicht sortiert</translation>
    </message>
    <message>
        <source>no file to write the index to</source>
        <translation>keine Datei, in die der Index geschrieben werden kann</translation>
    </message>
    <message>
        <source>nothing to import: give an edges file, a ranks file or both</source>
        <translation>nichts zu importieren: geben Sie eine Kantendatei, eine Rangdatei oder beide an</translation>
    </message>
    <message>
        <source>%1 is a ranks file (harmonic centrality and PageRank positions), not a vertices file: give it with --ranks</source>
        <translation>%1 ist eine Rangdatei (Positionen nach harmonischer Zentralität und PageRank), keine Knotendatei: geben Sie sie mit --ranks an</translation>
    </message>
    <message>
        <source>%1 holds no vertex (&quot;&lt;id&gt;&lt;tab&gt;&lt;name&gt;&quot; lines)</source>
        <translation>%1 enthält keinen Knoten (Zeilen „&lt;id&gt;&lt;tab&gt;&lt;name&gt;“)</translation>
    </message>
    <message>
        <source>%1 of the %2 edges in %3 name ids that %4 does not hold: are both files of the same release?</source>
        <translation>%1 der %2 Kanten in %3 nennen IDs, die %4 nicht enthält: stammen beide Dateien aus derselben Ausgabe?</translation>
    </message>
    <message>
        <source>%1 of the %2 vertices in %3 are not in %4: are both files of the same release?</source>
        <translation>%1 der %2 Knoten in %3 sind nicht in %4: stammen beide Dateien aus derselben Ausgabe?</translation>
    </message>
</context>
<context>
    <name>GraphTool</name>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 min %2 s</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>writing the index...</source>
        <translation>Index wird geschrieben …</translation>
    </message>
    <message>
        <source>vertices</source>
        <translation>Knoten</translation>
    </message>
    <message>
        <source>edges</source>
        <translation>Kanten</translation>
    </message>
    <message>
        <source>ranks</source>
        <translation>Ränge</translation>
    </message>
    <message>
        <source>counts</source>
        <translation>Anzahlen</translation>
    </message>
    <message>
        <source>%1: %2 lines</source>
        <translation>%1: %2 Zeilen</translation>
    </message>
    <message>
        <source>, %1 lines/s</source>
        <translation>, %1 Zeilen/s</translation>
    </message>
    <message>
        <source>, %1% of the file</source>
        <translation>, %1 % der Datei</translation>
    </message>
    <message>
        <source>, about %1 left</source>
        <translation>, noch etwa %1</translation>
    </message>
    <message>
        <source>tallyscope-graph: --level takes domain or host</source>
        <translation>tallyscope-graph: --level erwartet domain oder host</translation>
    </message>
    <message>
        <source>tallyscope-graph: unknown option %1</source>
        <translation>tallyscope-graph: unbekannte Option %1</translation>
    </message>
    <message>
        <source>%1 was left as it was.</source>
        <translation>%1 blieb unverändert.</translation>
    </message>
    <message>
        <source>hosts</source>
        <translation>Hosts</translation>
    </message>
    <message>
        <source>domains</source>
        <translation>Domains</translation>
    </message>
    <message>
        <source>%1: %2 %3 of %4, %5 bytes (names in %6 order)</source>
        <translation>%1: %2 %3 aus %4, %5 Bytes (Namen in %6-Reihenfolge)</translation>
    </message>
    <message>
        <source>byte</source>
        <translation>Byte</translation>
    </message>
    <message>
        <source>trailing-dot</source>
        <translation>Schlusspunkt</translation>
    </message>
    <message>
        <source>vertices: %1 lines, %2 malformed, %3 repeated ids, %4 repeated names%5</source>
        <translation>Knoten: %1 Zeilen, %2 fehlerhaft, %3 wiederholte IDs, %4 wiederholte Namen%5</translation>
    </message>
    <message>
        <source> (in no known order: sorted)</source>
        <translation> (in keiner bekannten Reihenfolge: sortiert)</translation>
    </message>
    <message>
        <source>edges: %1 lines, %2 links counted, %3 malformed, %4 with an unknown id, %5 repeated, %6 to themselves</source>
        <translation>Kanten: %1 Zeilen, %2 Links gezählt, %3 fehlerhaft, %4 mit unbekannter ID, %5 wiederholt, %6 auf sich selbst</translation>
    </message>
    <message>
        <source>warning: the edges are not sorted by from id (%1 places); a link listed in two places counts twice</source>
        <translation>Warnung: die Kanten sind nicht nach der Von-id sortiert (%1 Stellen); ein an zwei Stellen aufgeführter Link zählt doppelt</translation>
    </message>
    <message>
        <source>ranks: %1 lines, %2 vertices ranked, %3 malformed, %4 not in the vertices</source>
        <translation>Ränge: %1 Zeilen, %2 Knoten eingestuft, %3 fehlerhaft, %4 nicht unter den Knoten</translation>
    </message>
    <message>
        <source>processor time: %1 s parsing, %2 s reading and inflating</source>
        <translation>Prozessorzeit: %1 s Auswerten, %2 s Lesen und Entpacken</translation>
    </message>
    <message>
        <source>peak memory: %1 MiB (%2 KiB)</source>
        <translation>Speicherspitze: %1 MiB (%2 KiB)</translation>
    </message>
    <message>
        <source>%1: %2 %3 of %4 from %5 lines (%6 malformed, %7 repeated names), %8 bytes</source>
        <translation>%1: %2 %3 aus %4 aus %5 Zeilen (%6 fehlerhaft, %7 wiederholte Namen), %8 Bytes</translation>
    </message>
    <message>
        <source>linking hosts to %1 in %2</source>
        <translation>auf %1 verlinkende Hosts in %2</translation>
    </message>
    <message>
        <source>linking domains to %1 in %2</source>
        <translation>auf %1 verlinkende Domains in %2</translation>
    </message>
    <message>
        <source>not in %1</source>
        <translation>nicht in %1</translation>
    </message>
    <message>
        <source>tallyscope-graph: %1 is damaged</source>
        <translation>tallyscope-graph: %1 ist beschädigt</translation>
    </message>
    <message>
        <source>tallyscope-graph: %1: index changed during the lookups</source>
        <translation>tallyscope-graph: %1: der Index hat sich während der Abfragen geändert</translation>
    </message>
    <message>
        <source>tallyscope-graph: out of memory; nothing was written</source>
        <translation>tallyscope-graph: kein Speicher mehr frei; nichts wurde geschrieben</translation>
    </message>
    <message>
        <source>%1joining the parts into %2...</source>
        <translation>%1Teile werden zu %2 zusammengefügt …</translation>
    </message>
    <message>
        <source>%1 (%2 of %3): %4</source>
        <translation>%1 (%2 von %3): %4</translation>
    </message>
    <message>
        <source> of %1</source>
        <translation> von %1</translation>
    </message>
    <message>
        <source>tallyscope-graph: %1 takes an http or https address</source>
        <translation>tallyscope-graph: %1 erwartet eine http- oder https-Adresse</translation>
    </message>
    <message>
        <source>tallyscope-graph: fetch does not take %1</source>
        <translation>tallyscope-graph: fetch kennt %1 nicht</translation>
    </message>
    <message>
        <source>tallyscope-graph: fetch needs --out DIR</source>
        <translation>tallyscope-graph: fetch braucht --out DIR</translation>
    </message>
    <message>
        <source>%1 is there already: nothing to fetch.</source>
        <translation>%1 ist bereits vorhanden: nichts herunterzuladen.</translation>
    </message>
    <message>
        <source>usage:
  tallyscope-graph import &lt;vertices&gt; [&lt;edges&gt;] [--ranks FILE] [--out FILE]
                          [--release NAME] [--level domain|host]
      Reads a web graph&apos;s vertices (&quot;id&lt;TAB&gt;reversed name[&lt;TAB&gt;hosts]&quot;), edges
      (&quot;from id&lt;TAB&gt;to id&quot;, sorted by from id) and ranks file (harmonic centrality and
      PageRank positions), plain or gzip, and writes the link index: the number of
      distinct vertices linking to each vertex, and its positions. Give the edges, the
      ranks or both. FILE defaults to &lt;release&gt;-&lt;level&gt;.links in the current folder; the
      release and level default to what the vertices file&apos;s name says
      (cc-main-2024-feb-apr-may-domain-vertices.txt.gz).
  tallyscope-graph import-counts &lt;file&gt; [--out FILE] [--release NAME] [--level domain|host]
      Makes the same index from a table of &quot;reversed name&lt;TAB&gt;count&quot; lines (plain or
      gzip), such as a Spark or DuckDB job over a whole release writes.
  tallyscope-graph lookup &lt;index&gt; &lt;url&gt;...
      Prints each URL&apos;s vertex and values: the exact host in a host index, the
      registrable domain in a domain index.
  tallyscope-graph fetch [--latest | --release ID] [--level domain|host] [--ranks]
                         --out DIR [--index URL] [--data URL] [--keep-downloads]
                         [--tries N]
      Downloads a release of the Common Crawl web graph (the newest by default) into DIR
      and imports it into DIR/&lt;release&gt;-&lt;level&gt;.links. An interrupted or failed run goes
      on where it stopped when the same command is run again. --index and --data replace
      the publisher&apos;s list of releases and the base address of its files (a mirror).
      A file that the server refuses for a while (429, 503 SlowDown, 403) or whose
      connection drops is tried again, waiting longer each time (or as Retry-After asks),
      N times in all (20 by default). Every file is checked as it comes: a damaged one is
      removed and downloaded again by the next run.
  tallyscope-graph --version

Exit status: 0 done, 1 failed (a lookup: a URL not in the index), 2 bad arguments,
130 interrupted. A failed or interrupted import leaves any earlier index as it was.
</source>
        <translation>Aufruf:
  tallyscope-graph import &lt;vertices&gt; [&lt;edges&gt;] [--ranks FILE] [--out FILE]
                          [--release NAME] [--level domain|host]
      Liest die Knoten eines Webgraphen („id&lt;TAB&gt;umgekehrter Name[&lt;TAB&gt;Hosts]“), seine
      Kanten („von id&lt;TAB&gt;nach id“, nach der Von-id sortiert) und seine Rangdatei
      (Positionen nach harmonischer Zentralität und PageRank), unkomprimiert oder gzip,
      und schreibt den Linkindex: die Zahl der verschiedenen Knoten, die auf jeden Knoten
      verlinken, und seine Positionen. Geben Sie die Kanten, die Ränge oder beides an.
      FILE ist ohne Angabe &lt;release&gt;-&lt;level&gt;.links im aktuellen Ordner; Ausgabe und Ebene
      sind ohne Angabe das, was der Name der Knotendatei sagt
      (cc-main-2024-feb-apr-may-domain-vertices.txt.gz).
  tallyscope-graph import-counts &lt;file&gt; [--out FILE] [--release NAME] [--level domain|host]
      Erstellt denselben Index aus einer Tabelle von Zeilen „umgekehrter Name&lt;TAB&gt;Anzahl“
      (unkomprimiert oder gzip), wie sie ein Spark- oder DuckDB-Auftrag über eine ganze
      Ausgabe schreibt.
  tallyscope-graph lookup &lt;index&gt; &lt;url&gt;...
      Gibt zu jeder URL ihren Knoten und ihre Werte aus: den genauen Host in einem
      Host-Index, die registrierbare Domain in einem Domain-Index.
  tallyscope-graph fetch [--latest | --release ID] [--level domain|host] [--ranks]
                         --out DIR [--index URL] [--data URL] [--keep-downloads]
                         [--tries N]
      Lädt eine Ausgabe des Common-Crawl-Webgraphen (ohne Angabe die neueste) nach DIR
      herunter und importiert sie nach DIR/&lt;release&gt;-&lt;level&gt;.links. Ein unterbrochener
      oder fehlgeschlagener Lauf macht dort weiter, wo er aufhörte, wenn derselbe Befehl
      erneut aufgerufen wird. --index und --data ersetzen die Liste der Ausgaben des
      Herausgebers und die Basisadresse seiner Dateien (einen Spiegel).
      Eine Datei, die der Server eine Zeit lang verweigert (429, 503 SlowDown, 403) oder
      deren Verbindung abbricht, wird erneut versucht, mit jedes Mal längerer Wartezeit
      (oder so lange, wie Retry-After verlangt), N-mal insgesamt (ohne Angabe 20). Jede
      Datei wird beim Empfang geprüft: eine beschädigte wird entfernt und vom nächsten
      Lauf neu heruntergeladen.
  tallyscope-graph --version

Rückgabewert: 0 erledigt, 1 fehlgeschlagen (bei lookup: eine URL nicht im Index),
2 ungültige Argumente, 130 unterbrochen. Ein fehlgeschlagener oder unterbrochener Import
lässt einen früheren Index unverändert.
</translation>
    </message>
    <message>
        <source>%1: %2; retrying in %3 s, try %4 of %5</source>
        <translation>%1: %2; neuer Versuch in %3 s, Versuch %4 von %5</translation>
    </message>
    <message>
        <source>the list of releases</source>
        <translation>die Liste der Ausgaben</translation>
    </message>
    <message>
        <source>tallyscope-graph: --tries takes a number from 1 to 1000</source>
        <translation>tallyscope-graph: --tries nimmt eine Zahl von 1 bis 1000</translation>
    </message>
    <message>
        <source>%1 of downloads is kept; to continue, run the same command again:</source>
        <translation>%1 Heruntergeladenes bleibt erhalten; um fortzufahren, denselben Befehl noch einmal ausführen:</translation>
    </message>
    <message>
        <source>Nothing was kept; to continue, run the same command again:</source>
        <translation>Nichts blieb erhalten; um fortzufahren, denselben Befehl noch einmal ausführen:</translation>
    </message>
</context>
<context>
    <name>GzipLines</name>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>there is no file %1</source>
        <translation>es gibt keine Datei %1</translation>
    </message>
    <message>
        <source>%1 is a folder</source>
        <translation>%1 ist ein Ordner</translation>
    </message>
    <message>
        <source>the decompressor could not be started</source>
        <translation>der Dekomprimierer konnte nicht gestartet werden</translation>
    </message>
    <message>
        <source>%1 is damaged at byte %L2: %3</source>
        <translation>%1 ist bei Byte %L2 beschädigt: %3</translation>
    </message>
    <message>
        <source>it is not gzip data</source>
        <translation>es sind keine gzip-Daten</translation>
    </message>
    <message>
        <source>the compressed data goes nowhere</source>
        <translation>die komprimierten Daten führen nirgendwohin</translation>
    </message>
    <message>
        <source>it ends in the middle of its compressed data (is the file complete?)</source>
        <translation>sie endet mitten in ihren komprimierten Daten (ist die Datei vollständig?)</translation>
    </message>
    <message>
        <source>it holds no compressed data</source>
        <translation>sie enthält keine komprimierten Daten</translation>
    </message>
</context>
<context>
    <name>IniFile</name>
    <message>
        <source>The name &quot;%1&quot; holds &quot;[&quot;, &quot;]&quot; or &quot;=&quot;</source>
        <translation>Der Name „%1“ enthält „[“, „]“ oder „=“</translation>
    </message>
    <message>
        <source>A name or value holds a line break or a NUL character</source>
        <translation>Ein Name oder Wert enthält einen Zeilenumbruch oder ein NUL-Zeichen</translation>
    </message>
</context>
<context>
    <name>JsonPointer</name>
    <message>
        <source>it does not start with &quot;/&quot;</source>
        <translation>er beginnt nicht mit „/“</translation>
    </message>
    <message>
        <source>&quot;~&quot; must be followed by 0 or 1</source>
        <translation>auf „~“ muss 0 oder 1 folgen</translation>
    </message>
    <message>
        <source>%1 at byte %2</source>
        <translation>%1 bei Byte %2</translation>
    </message>
    <message>
        <source>not one JSON value</source>
        <translation>kein einzelner JSON-Wert</translation>
    </message>
</context>
<context>
    <name>LinkIndex</name>
    <message>
        <source>there is no file %1</source>
        <translation>es gibt keine Datei %1</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1 is not a regular file</source>
        <translation>%1 ist keine reguläre Datei</translation>
    </message>
    <message>
        <source>%1 is not a link index made by tallyscope-graph</source>
        <translation>%1 ist kein von tallyscope-graph erstellter Linkindex</translation>
    </message>
    <message>
        <source>%1 is damaged (its header does not fit the file)</source>
        <translation>%1 ist beschädigt (sein Kopf passt nicht zur Datei)</translation>
    </message>
    <message>
        <source>%1 is a link index of an older tallyscope-graph: import the release again</source>
        <translation>%1 ist ein Linkindex eines älteren tallyscope-graph: importieren Sie die Ausgabe erneut</translation>
    </message>
    <message>
        <source>%1 is a link index of another version</source>
        <translation>%1 ist ein Linkindex einer anderen Version</translation>
    </message>
    <message>
        <source>linking hosts in %1</source>
        <translation>verlinkende Hosts in %1</translation>
    </message>
    <message>
        <source>linking domains in %1</source>
        <translation>verlinkende Domains in %1</translation>
    </message>
    <message>
        <source>no link index with %1 in %2 (tallyscope-graph fetch --latest%3 --out %2 makes one)</source>
        <translation>kein Linkindex mit %1 in %2 (tallyscope-graph fetch --latest%3 --out %2 erstellt einen)</translation>
    </message>
</context>
<context>
    <name>PageFetcher</name>
    <message>
        <source>not a web address</source>
        <translation>keine Webadresse</translation>
    </message>
    <message>
        <source>not a request method: %1</source>
        <translation>keine Anfragemethode: %1</translation>
    </message>
    <message>
        <source>the page took longer than %1</source>
        <translation>die Seite brauchte länger als %1</translation>
    </message>
    <message>
        <source>no reply within %1</source>
        <translation>keine Antwort innerhalb von %1</translation>
    </message>
    <message>
        <source>no data for %1</source>
        <translation>keine Daten seit %1</translation>
    </message>
    <message>
        <source>reply headers longer than %1</source>
        <translation>Antwort-Header länger als %1</translation>
    </message>
    <message>
        <source>unexpected protocol switch</source>
        <translation>unerwarteter Protokollwechsel</translation>
    </message>
    <message>
        <source>bad content length</source>
        <translation>ungültige Inhaltslänge</translation>
    </message>
    <message>
        <source>unsupported transfer encoding %1</source>
        <translation>nicht unterstützte Transferkodierung %1</translation>
    </message>
    <message>
        <source>%1 larger than %2</source>
        <translation>%1 größer als %2</translation>
    </message>
    <message>
        <source>redirect to %1 not followed</source>
        <translation>Weiterleitung nach %1 nicht gefolgt</translation>
    </message>
    <message>
        <source>more than %1 redirects</source>
        <translation>mehr als %1 Weiterleitungen</translation>
    </message>
    <message>
        <source>proxy %1: </source>
        <translation>Proxy %1: </translation>
    </message>
    <message>
        <source>host not found</source>
        <translation>Host nicht gefunden</translation>
    </message>
    <message>
        <source>connection refused</source>
        <translation>Verbindung abgelehnt</translation>
    </message>
    <message>
        <source>secure connection failed: %1</source>
        <translation>sichere Verbindung fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>self-signed certificate</source>
        <translation>selbstsigniertes Zertifikat</translation>
    </message>
    <message>
        <source>certificate expired</source>
        <translation>Zertifikat abgelaufen</translation>
    </message>
    <message>
        <source>certificate not yet valid</source>
        <translation>Zertifikat noch nicht gültig</translation>
    </message>
    <message>
        <source>certificate of an unknown authority</source>
        <translation>Zertifikat einer unbekannten Zertifizierungsstelle</translation>
    </message>
    <message>
        <source>certificate for another host</source>
        <translation>Zertifikat für einen anderen Host</translation>
    </message>
    <message>
        <source>the server closed without a reply</source>
        <translation>der Server schloss die Verbindung ohne Antwort</translation>
    </message>
    <message>
        <source>broken compressed body: %1</source>
        <translation>fehlerhafter komprimierter Inhalt: %1</translation>
    </message>
    <message>
        <source>not an HTTP reply</source>
        <translation>keine HTTP-Antwort</translation>
    </message>
    <message>
        <source>reply header line too long</source>
        <translation>Kopfzeile der Antwort zu lang</translation>
    </message>
    <message>
        <source>tunnel refused (HTTP status %1)</source>
        <translation>Tunnel abgelehnt (HTTP-Status %1)</translation>
    </message>
    <message>
        <source>broken chunked body</source>
        <translation>fehlerhafter Chunked-Inhalt</translation>
    </message>
    <message>
        <source>the connection broke off</source>
        <translation>die Verbindung brach ab</translation>
    </message>
</context>
<context>
    <name>Pictures</name>
    <message>
        <source>Link popularity of your web sites across six sources</source>
        <translation>Linkpopularität Ihrer Websites aus sechs Quellen</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
</context>
<context>
    <name>Print</name>
    <message>
        <source>%1

Would you like to save the chart as a PDF file instead?</source>
        <translation>%1

Möchten Sie das Diagramm stattdessen als PDF-Datei speichern?</translation>
    </message>
    <message>
        <source>Save Chart as PDF</source>
        <translation>Diagramm als PDF speichern</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <source>The PDF file could not be written:
%1</source>
        <translation>Die PDF-Datei konnte nicht geschrieben werden:
%1</translation>
    </message>
    <message>
        <source>%1 chart</source>
        <translation>%1-Diagramm</translation>
    </message>
    <message>
        <source>There is no printer to print the chart on.</source>
        <translation>Es gibt keinen Drucker, auf dem das Diagramm gedruckt werden kann.</translation>
    </message>
    <message>
        <source>The chart could not be printed on &quot;%1&quot;.</source>
        <translation>Das Diagramm konnte nicht auf „%1“ gedruckt werden.</translation>
    </message>
</context>
<context>
    <name>ProgramFolder</name>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>Provenance</name>
    <message>
        <source> (backfilled from %1)</source>
        <translation> (nachgetragen aus %1)</translation>
    </message>
    <message>
        <source>source changed: %1 → %2</source>
        <translation>Quelle gewechselt: %1 → %2</translation>
    </message>
    <message>
        <source>release %1 → %2</source>
        <translation>Release %1 → %2</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keines</translation>
    </message>
    <message>
        <source>The sources of its points in %1 were left aside: %2</source>
        <translation>Die Quellen ihrer Punkte in %1 blieben unberücksichtigt: %2</translation>
    </message>
    <message>
        <source>it is not a provenance file of this program</source>
        <translation>es ist keine Herkunftsdatei dieses Programms</translation>
    </message>
    <message>
        <source>a newer version of the program wrote it (version %1)</source>
        <translation>eine neuere Version des Programms hat sie geschrieben (Version %1)</translation>
    </message>
</context>
<context>
    <name>ResultsModel</name>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>switched off</source>
        <translation>ausgeschaltet</translation>
    </message>
    <message>
        <source>Low profile</source>
        <translation>Niedriges Profil</translation>
    </message>
    <message>
        <source>Medium profile</source>
        <translation>Mittleres Profil</translation>
    </message>
    <message>
        <source>High profile</source>
        <translation>Hohes Profil</translation>
    </message>
    <message>
        <source>Domain Name</source>
        <translation>Domainname</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>Summe</translation>
    </message>
    <message>
        <source>Since %1: %2</source>
        <translation>Seit %1: %2</translation>
    </message>
</context>
<context>
    <name>RunRecord</name>
    <message numerus="yes">
        <source>%1: %n failed, first: %2</source>
        <translation>
            <numerusform>%1: %n fehlgeschlagen, zuerst: %2</numerusform>
            <numerusform>%1: %n fehlgeschlagen, zuerst: %2</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SafeFile</name>
    <message>
        <source>It is not a regular file</source>
        <translation>Sie ist keine reguläre Datei</translation>
    </message>
    <message>
        <source>It is a folder</source>
        <translation>Sie ist ein Ordner</translation>
    </message>
    <message>
        <source>It is larger than %1</source>
        <translation>Sie ist größer als %1</translation>
    </message>
    <message>
        <source>The file name is too long</source>
        <translation>Der Dateiname ist zu lang</translation>
    </message>
    <message>
        <source>The file is read-only</source>
        <translation>Die Datei ist schreibgeschützt</translation>
    </message>
    <message>
        <source>The folder does not exist</source>
        <translation>Der Ordner existiert nicht</translation>
    </message>
    <message>
        <source>The file does not exist</source>
        <translation>Die Datei existiert nicht</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
    <message>
        <source>No file name</source>
        <translation>Kein Dateiname</translation>
    </message>
    <message>
        <source>%1 MiB</source>
        <translation>%1 MiB</translation>
    </message>
    <message>
        <source>%1 KiB</source>
        <translation>%1 KiB</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Bytes</translation>
    </message>
    <message>
        <source>the disk is full (%1)</source>
        <translation>der Datenträger ist voll (%1)</translation>
    </message>
    <message>
        <source>The folder %1 could not be created</source>
        <translation>Der Ordner %1 konnte nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>SavedSearch</name>
    <message>
        <source>it holds no saved counts (no [section] with a date=count line)</source>
        <translation>sie enthält keine gespeicherten Zählungen (keinen [Abschnitt] mit einer Zeile Datum=Zahl)</translation>
    </message>
    <message>
        <source>the counts were saved, but not where they came from: %1</source>
        <translation>die Anzahlen wurden gespeichert, aber nicht, woher sie stammen: %1</translation>
    </message>
</context>
<context>
    <name>Schedule</name>
    <message>
        <source>weekly on %1 at %2</source>
        <translation>wöchentlich am %1 um %2</translation>
    </message>
    <message numerus="yes">
        <source>every %n hours from %1</source>
        <translation>
            <numerusform>alle %n Stunde ab %1</numerusform>
            <numerusform>alle %n Stunden ab %1</numerusform>
        </translation>
    </message>
    <message>
        <source>daily at %1</source>
        <translation>täglich um %1</translation>
    </message>
    <message>
        <source>the name &quot;%1&quot; must be 1 to 40 letters, digits, &quot;-&quot; or &quot;_&quot;</source>
        <translation>der Name &quot;%1&quot; muss aus 1 bis 40 Buchstaben, Ziffern, &quot;-&quot; oder &quot;_&quot; bestehen</translation>
    </message>
    <message>
        <source>no URL list file is named</source>
        <translation>keine URL-Listendatei angegeben</translation>
    </message>
    <message>
        <source>the time of day is not a time (HH:MM)</source>
        <translation>die Uhrzeit ist keine Uhrzeit (HH:MM)</translation>
    </message>
    <message>
        <source>every %1 hours: the hours must be 1 to 23</source>
        <translation>alle %1 Stunden: die Stunden müssen 1 bis 23 sein</translation>
    </message>
    <message>
        <source>the day of the week must be 1 (Monday) to 7 (Sunday)</source>
        <translation>der Wochentag muss 1 (Montag) bis 7 (Sonntag) sein</translation>
    </message>
    <message>
        <source>the drop to tell must be 0 to 100 percent</source>
        <translation>der zu meldende Rückgang muss 0 bis 100 Prozent sein</translation>
    </message>
    <message>
        <source>there is no schedule named &quot;%1&quot; in %2</source>
        <translation>es gibt keinen Zeitplan namens &quot;%1&quot; in %2</translation>
    </message>
    <message>
        <source>%1: Every is &quot;%2&quot;, not daily, weekly or hours</source>
        <translation>%1: Every ist &quot;%2&quot;, nicht daily, weekly oder hours</translation>
    </message>
    <message>
        <source>Hours, NotifyDrop or Save does not read</source>
        <translation>Hours, NotifyDrop oder Save ist nicht lesbar</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>SettingsFiles</name>
    <message>
        <source>What each engine column asks cannot be read from
%1

%2.

Until it can be read, every column gives this as its failure.</source>
        <translation>Was jede Suchmaschinenspalte abfragt, kann nicht gelesen werden aus
%1

%2.

Bis die Datei gelesen werden kann, meldet jede Spalte dies als ihren Fehler.</translation>
    </message>
    <message>
        <source>The engines&apos; query prefixes cannot be read from
%1

%2.

Until it can be read, no engine is asked without its prefix.</source>
        <translation>Die Abfragepräfixe der Suchmaschinen können nicht gelesen werden aus
%1

%2.

Bis die Datei gelesen werden kann, wird keine Suchmaschine ohne ihr Präfix abgefragt.</translation>
    </message>
</context>
<context>
    <name>Skin</name>
    <message>
        <source>&quot;Use the desktop&apos;s colours and fonts&quot; could not be kept for the next start in</source>
        <translation>„Farben und Schriften des Desktops verwenden“ konnte für den nächsten Start nicht gespeichert werden in</translation>
    </message>
</context>
<context>
    <name>UserSettings</name>
    <message>
        <source>The settings could not be written</source>
        <translation>Die Einstellungen konnten nicht geschrieben werden</translation>
    </message>
    <message>
        <source>The settings could not be written in full</source>
        <translation>Die Einstellungen konnten nicht vollständig geschrieben werden</translation>
    </message>
    <message>
        <source>Your settings in %1 cannot be read: %2. The program goes on with the default settings and no API keys, and keeps nothing you change there.</source>
        <translation>Ihre Einstellungen in %1 können nicht gelesen werden: %2. Das Programm arbeitet mit den Standardeinstellungen und ohne API-Schlüssel weiter und speichert dort nichts, was Sie ändern.</translation>
    </message>
</context>
<context>
    <name>UserUnits</name>
    <message>
        <source>%1 could not be run: %2</source>
        <translation>%1 konnte nicht ausgeführt werden: %2</translation>
    </message>
    <message>
        <source>%1 failed (exit status %2): %3</source>
        <translation>%1 schlug fehl (Rückgabewert %2): %3</translation>
    </message>
    <message>
        <source>there is no systemctl on PATH</source>
        <translation>es gibt kein systemctl im PATH</translation>
    </message>
    <message>
        <source>%1 could not be removed: %2</source>
        <translation>%1 konnte nicht entfernt werden: %2</translation>
    </message>
</context>
<context>
    <name>WebEnginePlugin</name>
    <message>
        <source>%1 was not found in %2.</source>
        <translation>%1 wurde in %2 nicht gefunden.</translation>
    </message>
    <message>
        <source>%1 does not make web page views.</source>
        <translation>%1 erzeugt keine Webseitenansichten.</translation>
    </message>
</context>
<context>
    <name>WebResults</name>
    <message>
        <source>This address was not opened:

%1

Only web addresses (http:// and https://) are opened from the URL list, the engines&apos; settings and the program&apos;s web site.</source>
        <translation>Diese Adresse wurde nicht geöffnet:

%1

Aus der URL-Liste, den Einstellungen der Suchmaschinen und der Website des Programms werden nur Webadressen (http:// und https://) geöffnet.</translation>
    </message>
</context>
<context>
    <name>WebResultsModel</name>
    <message>
        <source>Webpage Type</source>
        <translation>Art der Webseite</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>Home Page</source>
        <translation>Startseite</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>The folder for your settings and saved searches could not be prepared:
%1

%2.

Changes cannot be kept until this is resolved.</source>
        <translation>Der Ordner für Ihre Einstellungen und gespeicherten Suchen konnte nicht vorbereitet werden:
%1

%2.

Änderungen können erst gespeichert werden, wenn dies behoben ist.</translation>
    </message>
</context>
<context>
    <name>tally::AboutWindow</name>
    <message>
        <source>Logo</source>
        <translation>Logo</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>Owned By:</source>
        <translation>Eigentümer:</translation>
    </message>
    <message>
        <source>Website:</source>
        <translation>Website:</translation>
    </message>
    <message>
        <source>Data:</source>
        <translation>Daten:</translation>
    </message>
    <message>
        <source>Where your settings.ini, saved searches (Saved) and URL lists (Lists) are kept</source>
        <translation>Wo Ihre settings.ini, gespeicherten Suchen (Saved) und URL-Listen (Lists) liegen</translation>
    </message>
    <message>
        <source>Open the web site in the browser window</source>
        <translation>Die Website im Browserfenster öffnen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
</context>
<context>
    <name>tally::BackfillDialog</name>
    <message>
        <source>Fill In the Past of %1</source>
        <translation>Vergangenheit von %1 ergänzen</translation>
    </message>
    <message>
        <source> months</source>
        <translation> Monate</translation>
    </message>
    <message>
        <source>&amp;Site:</source>
        <translation>&amp;Website:</translation>
    </message>
    <message>
        <source>&amp;Look back:</source>
        <translation>&amp;Zurückblicken:</translation>
    </message>
    <message>
        <source>Progress of the fill-in</source>
        <translation>Fortschritt der Ergänzung</translation>
    </message>
    <message>
        <source>What each column gave</source>
        <translation>Was jede Spalte lieferte</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>&amp;Starten</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>S&amp;toppen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>No column can look back.</source>
        <translation>Keine Spalte kann zurückblicken.</translation>
    </message>
    <message>
        <source>Asks, since %1:</source>
        <translation>Fragt, seit %1:</translation>
    </message>
    <message>
        <source>Not asked: %1</source>
        <translation>Nicht gefragt: %1</translation>
    </message>
    <message>
        <source>1 request in all; the provider bills it as its plan says.</source>
        <translation>1 Anfrage insgesamt; der Anbieter berechnet sie nach seinem Tarif.</translation>
    </message>
    <message>
        <source>%1 requests in all; the providers bill them as their plans say.</source>
        <translation>%1 Anfragen insgesamt; die Anbieter berechnen sie nach ihren Tarifen.</translation>
    </message>
    <message>
        <source>Type the site&apos;s address (http:// or https://) the saved search is for.</source>
        <translation>Geben Sie die Adresse der Website ein (http:// oder https://), zu der die gespeicherte Suche gehört.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1: %2 given, %3 new</source>
        <translation>%1: %2 geliefert, %3 neu</translation>
    </message>
    <message>
        <source>Stopped. New points saved: %1.</source>
        <translation>Gestoppt. Neue Punkte gespeichert: %1.</translation>
    </message>
    <message>
        <source>Done. New points saved: %1.</source>
        <translation>Fertig. Neue Punkte gespeichert: %1.</translation>
    </message>
</context>
<context>
    <name>tally::BrowserWindow</name>
    <message>
        <source>Browser</source>
        <translation>Browser</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Status 2</source>
        <translation>Status 2</translation>
    </message>
</context>
<context>
    <name>tally::ChartFrame</name>
    <message>
        <source>Results - Chart View</source>
        <translation>Ergebnisse – Diagrammansicht</translation>
    </message>
    <message>
        <source>Load Data</source>
        <translation>Daten laden</translation>
    </message>
    <message>
        <source>Load a saved search and chart its history (Ctrl+L)</source>
        <translation>Eine gespeicherte Suche laden und ihren Verlauf darstellen (Strg+L)</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Print the chart (Ctrl+P)</source>
        <translation>Das Diagramm drucken (Strg+P)</translation>
    </message>
    <message>
        <source>Export History...</source>
        <translation>Verlauf exportieren …</translation>
    </message>
    <message>
        <source>Save the loaded saved search&apos;s history as a CSV file</source>
        <translation>Den Verlauf der geladenen gespeicherten Suche als CSV-Datei speichern</translation>
    </message>
    <message>
        <source>Search Engine:</source>
        <translation>Suchmaschine:</translation>
    </message>
    <message>
        <source>Chart Type:</source>
        <translation>Diagrammtyp:</translation>
    </message>
    <message>
        <source>Search Engine</source>
        <translation>Suchmaschine</translation>
    </message>
    <message>
        <source>Chart Type</source>
        <translation>Diagrammtyp</translation>
    </message>
    <message>
        <source>Chart hint</source>
        <translation>Diagrammhinweis</translation>
    </message>
    <message>
        <source>Chart</source>
        <translation>Diagramm</translation>
    </message>
    <message>
        <source>Show as &amp;Table</source>
        <translation>Als &amp;Tabelle anzeigen</translation>
    </message>
    <message>
        <source>You need atleast 2 saved searches to get any data displayed</source>
        <translation>Sie brauchen mindestens 2 gespeicherte Suchen, damit Daten angezeigt werden</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>The chart type could not be kept for the next start in</source>
        <translation>Der Diagrammtyp konnte für den nächsten Start nicht gespeichert werden in</translation>
    </message>
    <message>
        <source>The saved search could not be read from</source>
        <translation>Die gespeicherte Suche konnte nicht gelesen werden aus</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Export History</source>
        <translation>Verlauf exportieren</translation>
    </message>
    <message>
        <source>%1 history.csv</source>
        <translation>%1 Verlauf.csv</translation>
    </message>
</context>
<context>
    <name>tally::ChartLegend</name>
    <message>
        <source>Legend</source>
        <translation>Legende</translation>
    </message>
    <message>
        <source>and %1 more (Show as Table lists them all)</source>
        <translation>und %1 weitere (Als Tabelle anzeigen listet alle auf)</translation>
    </message>
</context>
<context>
    <name>tally::ChartTableDialog</name>
    <message>
        <source>Chart Values</source>
        <translation>Diagrammwerte</translation>
    </message>
    <message>
        <source>Chart values</source>
        <translation>Diagrammwerte</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>no count</source>
        <translation>keine Anzahl</translation>
    </message>
    <message>
        <source>The request gave no count; the chart draws nothing here.</source>
        <translation>Die Anfrage lieferte keine Anzahl; das Diagramm zeichnet hier nichts.</translation>
    </message>
    <message>
        <source>Not saved on this date; the chart draws nothing here.</source>
        <translation>An diesem Datum nicht gespeichert; das Diagramm zeichnet hier nichts.</translation>
    </message>
    <message>
        <source>%1 source</source>
        <translation>%1 Quelle</translation>
    </message>
</context>
<context>
    <name>tally::CommonCrawlDialog</name>
    <message>
        <source>Common Crawl (free, no key)</source>
        <translation>Common Crawl (kostenlos, ohne Schlüssel)</translation>
    </message>
    <message>
        <source>Common Crawl publishes a web graph of the whole web every few months: which domains link to which. Download fetches the newest release (several GB; on a fast line about an hour) and makes a link index of it in %1. A column set to Common Crawl then counts the domains that link to each site, without a key and without asking anyone.</source>
        <translation>Common Crawl veröffentlicht alle paar Monate einen Web-Graphen des ganzen Webs: welche Domains auf welche verlinken. „Herunterladen“ holt die neueste Ausgabe (mehrere GB; bei einer schnellen Leitung etwa eine Stunde) und legt daraus einen Linkindex in %1 an. Eine Spalte mit Common Crawl zählt dann die Domains, die auf jede Website verlinken, ohne Schlüssel und ohne jemanden zu fragen.</translation>
    </message>
    <message>
        <source>Also the &amp;ranks (harmonic centrality and PageRank; about 2.4 GB more) for the Common Crawl rank columns</source>
        <translation>Auch die &amp;Ränge (harmonische Zentralität und PageRank; etwa 2,4 GB mehr) für die Rang-Spalten von Common Crawl</translation>
    </message>
    <message>
        <source>Progress of the download</source>
        <translation>Fortschritt des Herunterladens</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>&amp;Anhalten</translation>
    </message>
    <message>
        <source>Stops the download; the next Download goes on where it stopped</source>
        <translation>Hält das Herunterladen an; das nächste „Herunterladen“ macht dort weiter</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Installed: release %1 (%2). Update fetches a newer release into a file of its own; this one stays until you remove it.</source>
        <translation>Installiert: Ausgabe %1 (%2). „Aktualisieren“ holt eine neuere Ausgabe in eine eigene Datei; diese bleibt, bis Sie sie entfernen.</translation>
    </message>
    <message>
        <source>&amp;Update</source>
        <translation>A&amp;ktualisieren</translation>
    </message>
    <message>
        <source>Installed: none yet.</source>
        <translation>Installiert: noch keine.</translation>
    </message>
    <message>
        <source>&amp;Download</source>
        <translation>&amp;Herunterladen</translation>
    </message>
    <message>
        <source>Reading the list of releases...</source>
        <translation>Die Liste der Ausgaben wird gelesen …</translation>
    </message>
    <message>
        <source>Stopping...</source>
        <translation>Wird angehalten …</translation>
    </message>
    <message>
        <source>Downloading %1 (file %2 of %3): %4</source>
        <translation>%1 wird heruntergeladen (Datei %2 von %3): %4</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>%1, %2/s</source>
        <translation>%1, %2/s</translation>
    </message>
    <message numerus="yes">
        <source>%1, about %n second(s) left</source>
        <translation>
            <numerusform>%1, noch etwa %n Sekunde</numerusform>
            <numerusform>%1, noch etwa %n Sekunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, about %n minute(s) left</source>
        <translation>
            <numerusform>%1, noch etwa %n Minute</numerusform>
            <numerusform>%1, noch etwa %n Minuten</numerusform>
        </translation>
    </message>
    <message>
        <source>Joining the parts into %1...</source>
        <translation>Die Teile werden zu %1 zusammengefügt …</translation>
    </message>
    <message>
        <source>Making the link index: reading the domains (%L1 so far)</source>
        <translation>Linkindex wird angelegt: Domains werden gelesen (bisher %L1)</translation>
    </message>
    <message>
        <source>Making the link index: counting the links (%L1 so far)</source>
        <translation>Linkindex wird angelegt: Links werden gezählt (bisher %L1)</translation>
    </message>
    <message>
        <source>Making the link index: reading the ranks (%L1 so far)</source>
        <translation>Linkindex wird angelegt: Ränge werden gelesen (bisher %L1)</translation>
    </message>
    <message>
        <source>Making the link index: writing it</source>
        <translation>Linkindex wird angelegt: er wird geschrieben</translation>
    </message>
    <message>
        <source>You have the newest release already: %1.</source>
        <translation>Sie haben die neueste Ausgabe bereits: %1.</translation>
    </message>
    <message>
        <source>Done: release %1, %L2 domains with the links to them, in %3.</source>
        <translation>Fertig: Ausgabe %1, %L2 Domains mit den Links auf sie, in %3.</translation>
    </message>
    <message>
        <source>The index there is left as it was.</source>
        <translation>Der vorhandene Index bleibt, wie er war.</translation>
    </message>
    <message numerus="yes">
        <source>Downloading %1 (file %2 of %3): %4; retrying in %n second(s), try %5 of %6</source>
        <translation>
            <numerusform>Lade %1 herunter (Datei %2 von %3): %4; neuer Versuch in %n Sekunde, Versuch %5 von %6</numerusform>
            <numerusform>Lade %1 herunter (Datei %2 von %3): %4; neuer Versuch in %n Sekunden, Versuch %5 von %6</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 of downloads is kept: Download goes on from there.</source>
        <translation>%1 Heruntergeladenes bleibt erhalten: Herunterladen macht dort weiter.</translation>
    </message>
    <message>
        <source>Nothing was kept.</source>
        <translation>Nichts blieb erhalten.</translation>
    </message>
    <message>
        <source>Stopped. %1</source>
        <translation>Angehalten. %1</translation>
    </message>
    <message>
        <source>The download did not succeed: %1. %2</source>
        <translation>Das Herunterladen ist nicht gelungen: %1. %2</translation>
    </message>
</context>
<context>
    <name>tally::FileDownload</name>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Bytes</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>the server resumed %1 at byte %2 instead of %3</source>
        <translation>der Server setzte %1 bei Byte %2 statt bei %3 fort</translation>
    </message>
    <message>
        <source>not enough disk space in %1: %2 needed, %3 free</source>
        <translation>nicht genug Speicherplatz in %1: %2 nötig, %3 frei</translation>
    </message>
    <message>
        <source>%1 is not a gzip file</source>
        <translation>%1 ist keine gzip-Datei</translation>
    </message>
    <message>
        <source>%1 sent more than the %2 bytes it announced</source>
        <translation>%1 sandte mehr als die angekündigten %2 Bytes</translation>
    </message>
    <message>
        <source>no data for %1 s</source>
        <translation>seit %1 s keine Daten</translation>
    </message>
    <message>
        <source>download of %1 failed after %2: %3</source>
        <translation>Herunterladen von %1 nach %2 fehlgeschlagen: %3</translation>
    </message>
    <message>
        <source>%1 redirects too often or away from the web</source>
        <translation>%1 leitet zu oft oder aus dem Web hinaus weiter</translation>
    </message>
    <message>
        <source>%1 answered HTTP %2</source>
        <translation>%1 antwortete mit HTTP %2</translation>
    </message>
    <message>
        <source>short body: %1 of the %2 bytes %3 announced</source>
        <translation>unvollständiger Inhalt: %1 der %2 Bytes, die %3 ankündigte</translation>
    </message>
    <message>
        <source>%1 changed on the server since its download began</source>
        <translation>%1 hat sich auf dem Server geändert, seit das Herunterladen begann</translation>
    </message>
    <message>
        <source>%1 is %2, more than the %3 such a file may be</source>
        <translation>%1 ist %2 groß, mehr als die %3, die eine solche Datei haben darf</translation>
    </message>
    <message>
        <source>%1 sent more than the %2 such a file may be; the download was stopped</source>
        <translation>%1 hat mehr als die %2 gesendet, die eine solche Datei haben darf; das Herunterladen wurde angehalten</translation>
    </message>
    <message>
        <source>%1 of it is kept for the next run</source>
        <translation>%1 davon bleibt für den nächsten Lauf erhalten</translation>
    </message>
    <message>
        <source>nothing of it was kept</source>
        <translation>nichts davon blieb erhalten</translation>
    </message>
    <message>
        <source>%1; it was removed and is downloaded again next time</source>
        <translation>%1; sie wurde entfernt und wird beim nächsten Mal neu heruntergeladen</translation>
    </message>
    <message>
        <source>%1 answered HTTP %2 (%3)</source>
        <translation>%1 antwortete mit HTTP %2 (%3)</translation>
    </message>
    <message>
        <source>%1 cannot be renamed to %2: %3</source>
        <translation>%1 kann nicht in %2 umbenannt werden: %3</translation>
    </message>
    <message numerus="yes">
        <source>%1 (given up after %n tries; %2)</source>
        <translation>
            <numerusform>%1 (nach %n Versuch aufgegeben; %2)</numerusform>
            <numerusform>%1 (nach %n Versuchen aufgegeben; %2)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>tally::GraphFetch</name>
    <message>
        <source>the folder %1 cannot be made</source>
        <translation>der Ordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>the list of releases (%1) cannot be read: %2</source>
        <translation>die Liste der Ausgaben (%1) kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>there is no release %1 in the list (the newest is %2)</source>
        <translation>die Liste enthält keine Ausgabe %1 (die neueste ist %2)</translation>
    </message>
    <message>
        <source>not enough disk space in %1 for %2: about %3 needed (the files and the index), %4 free</source>
        <translation>nicht genug Speicherplatz in %1 für %2: etwa %3 nötig (die Dateien und der Index), %4 frei</translation>
    </message>
    <message>
        <source>%1 names a part that is not a gzip file of the release: %2</source>
        <translation>%1 nennt einen Teil, der keine gzip-Datei der Ausgabe ist: %2</translation>
    </message>
    <message>
        <source>%1 names no part file</source>
        <translation>%1 nennt keine Teildatei</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>abgebrochen</translation>
    </message>
    <message>
        <source>%1 cannot be joined into %2: %3</source>
        <translation>%1 kann nicht an %2 angefügt werden: %3</translation>
    </message>
    <message>
        <source>%1 cannot be written</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>%1; it was removed and is downloaded again next time</source>
        <translation>%1; sie wurde entfernt und wird beim nächsten Mal neu heruntergeladen</translation>
    </message>
</context>
<context>
    <name>tally::HelpWindow</name>
    <message>
        <source>Readme/Help</source>
        <translation>Liesmich/Hilfe</translation>
    </message>
    <message>
        <source>Help text</source>
        <translation>Hilfetext</translation>
    </message>
    <message>
        <source>Show at &amp;Startup</source>
        <translation>Beim &amp;Start anzeigen</translation>
    </message>
    <message>
        <source>Show at Startup</source>
        <translation>Beim Start anzeigen</translation>
    </message>
    <message>
        <source>Open this window each time the program starts</source>
        <translation>Dieses Fenster bei jedem Programmstart öffnen</translation>
    </message>
    <message>
        <source>The help file could not be read.

%1

%2.</source>
        <translation>Die Hilfedatei konnte nicht gelesen werden.

%1

%2.</translation>
    </message>
    <message>
        <source>&quot;Show at Startup&quot; could not be kept in</source>
        <translation>„Beim Start anzeigen“ konnte nicht gespeichert werden in</translation>
    </message>
</context>
<context>
    <name>tally::HistoryChart</name>
    <message>
        <source>Chart</source>
        <translation>Diagramm</translation>
    </message>
    <message>
        <source>, value axis: %1</source>
        <translation>, Werteachse: %1</translation>
    </message>
    <message>
        <source>, %1 series of %2 values. Show as Table (Shift+F10, the Menu key) lists the values.</source>
        <translation>, %1 Reihen mit %2 Werten. Als Tabelle anzeigen (Umschalt+F10, die Menütaste) listet die Werte auf.</translation>
    </message>
    <message>
        <source>3D chart</source>
        <translation>3D-Diagramm</translation>
    </message>
    <message>
        <source> %1 between %2 and %3: %4.</source>
        <translation> %1 zwischen %2 und %3: %4.</translation>
    </message>
</context>
<context>
    <name>tally::LazyWebView</name>
    <message>
        <source>Web page</source>
        <translation>Webseite</translation>
    </message>
    <message>
        <source>The web engine plugin made no web page view.</source>
        <translation>Das Web-Engine-Plugin hat keine Webseitenansicht erzeugt.</translation>
    </message>
    <message>
        <source>Opening page %1</source>
        <translation>Seite %1 wird geöffnet</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>The web engine could not be loaded, so no web page can be shown here.

%1</source>
        <translation>Die Web-Engine konnte nicht geladen werden, daher kann hier keine Webseite angezeigt werden.

%1</translation>
    </message>
    <message>
        <source>The web engine could not be loaded</source>
        <translation>Die Web-Engine konnte nicht geladen werden</translation>
    </message>
</context>
<context>
    <name>tally::LoadSearchDialog</name>
    <message>
        <source>Load Saved Search</source>
        <translation>Gespeicherte Suche laden</translation>
    </message>
    <message>
        <source>Select saved search to load</source>
        <translation>Zu ladende gespeicherte Suche auswählen</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Please choose a saved file in the dropdown box above</source>
        <translation>Bitte wählen Sie oben in der Auswahlliste eine gespeicherte Datei</translation>
    </message>
    <message>
        <source>Select A Saved Search</source>
        <translation>Gespeicherte Suche auswählen</translation>
    </message>
    <message>
        <source>The saved search could not be read from</source>
        <translation>Die gespeicherte Suche konnte nicht gelesen werden aus</translation>
    </message>
    <message>
        <source>You currently do not have any saved searches</source>
        <translation>Sie haben derzeit keine gespeicherten Suchen</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Side by side &amp;with (one source, oldest date first):</source>
        <translation>&amp;Nebeneinander mit (eine Quelle, ältestes Datum zuerst):</translation>
    </message>
    <message>
        <source>Side by side with</source>
        <translation>Nebeneinander mit</translation>
    </message>
    <message>
        <source>Fill in the &amp;past...</source>
        <translation>&amp;Vergangenheit ergänzen...</translation>
    </message>
</context>
<context>
    <name>tally::MainWindow</name>
    <message>
        <source>Status message</source>
        <translation>Statusmeldung</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Views</source>
        <translation>Ansichten</translation>
    </message>
    <message>
        <source>Data View</source>
        <translation>Datenansicht</translation>
    </message>
    <message>
        <source>Chart View</source>
        <translation>Diagrammansicht</translation>
    </message>
    <message>
        <source>Website View</source>
        <translation>Website-Ansicht</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Scan</source>
        <translation>&amp;Suche</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>Web Results</source>
        <translation>Web-Ergebnisse</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Visit %1</source>
        <translation>%1 besuchen</translation>
    </message>
    <message>
        <source>Start a scan of every URL in the list</source>
        <translation>Eine Suche für jede URL der Liste starten</translation>
    </message>
    <message>
        <source>Stop the scan after the URL in progress</source>
        <translation>Die Suche nach der laufenden URL anhalten</translation>
    </message>
    <message>
        <source>Results - Data View</source>
        <translation>Ergebnisse – Datenansicht</translation>
    </message>
    <message>
        <source>Save Selected</source>
        <translation>Auswahl sichern</translation>
    </message>
    <message>
        <source>Clear All</source>
        <translation>Alles löschen</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Scan progress</source>
        <translation>Fortschritt der Suche</translation>
    </message>
    <message>
        <source>&amp;Details...</source>
        <translation>&amp;Details …</translation>
    </message>
    <message>
        <source>%1 by %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Suche läuft …</translation>
    </message>
    <message>
        <source>... and %1 more (Details in the status bar&apos;s menu)</source>
        <translation>… und %1 weitere (Details im Menü der Statusleiste)</translation>
    </message>
    <message>
        <source>Requests without a count:
%1</source>
        <translation>Anfragen ohne Anzahl:
%1</translation>
    </message>
    <message>
        <source>%1; requests without a count: %2, the reasons are in the status bar&apos;s Details</source>
        <translation>%1; Anfragen ohne Anzahl: %2, die Gründe stehen in den Details der Statusleiste</translation>
    </message>
    <message>
        <source>You must first select the item in the results list that you would like to save.</source>
        <translation>Wählen Sie zuerst den Eintrag in der Ergebnisliste, den Sie speichern möchten.</translation>
    </message>
    <message>
        <source>There are no results to export yet.</source>
        <translation>Es gibt noch keine Ergebnisse zum Exportieren.</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Ergebnisse exportieren</translation>
    </message>
    <message>
        <source>You must first select the item in the results list you wish to view web results for.</source>
        <translation>Wählen Sie zuerst den Eintrag in der Ergebnisliste, dessen Web-Ergebnisse Sie sehen möchten.</translation>
    </message>
    <message>
        <source>&amp;Add URL</source>
        <translation>URL &amp;hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Save URL List to File</source>
        <translation>URL-Liste in Datei &amp;speichern</translation>
    </message>
    <message>
        <source>&amp;Load URL List from File</source>
        <translation>URL-Liste aus Datei &amp;laden</translation>
    </message>
    <message>
        <source>Load URL List from &amp;Clipboard</source>
        <translation>URL-Liste aus der &amp;Zwischenablage laden</translation>
    </message>
    <message>
        <source>&amp;Export Results...</source>
        <translation>Ergebnisse &amp;exportieren …</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Start Scan</source>
        <translation>Suche &amp;starten</translation>
    </message>
    <message>
        <source>S&amp;top Scan</source>
        <translation>Suche &amp;anhalten</translation>
    </message>
    <message>
        <source>&amp;View Options</source>
        <translation>Einstellungen &amp;anzeigen</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Use the desktop&apos;s colours and fonts</source>
        <translation>Farben und Schriften des &amp;Desktops verwenden</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Werkzeuge</translation>
    </message>
    <message>
        <source>&amp;View Graph...</source>
        <translation>&amp;Verlauf anzeigen …</translation>
    </message>
    <message>
        <source>&amp;Sources...</source>
        <translation>&amp;Quellen …</translation>
    </message>
    <message>
        <source>&amp;View Help</source>
        <translation>&amp;Hilfe anzeigen</translation>
    </message>
    <message>
        <source>&amp;About this software</source>
        <translation>Ü&amp;ber dieses Programm</translation>
    </message>
    <message>
        <source>&amp;Save Results</source>
        <translation>Ergebnisse &amp;speichern</translation>
    </message>
    <message>
        <source>&amp;Web Results</source>
        <translation>&amp;Web-Ergebnisse</translation>
    </message>
    <message>
        <source>&amp;Clear Results</source>
        <translation>Ergebnisse &amp;löschen</translation>
    </message>
    <message>
        <source>Sort &amp;by</source>
        <translation>Sortieren &amp;nach</translation>
    </message>
    <message>
        <source>&amp;Save Result For %1</source>
        <translation>Ergebnis für %1 &amp;speichern</translation>
    </message>
    <message>
        <source>Sc&amp;hedule...</source>
        <translation>&amp;Zeitplan …</translation>
    </message>
    <message>
        <source>&amp;Hide switched-off columns</source>
        <translation>Abgeschaltete Spalten &amp;ausblenden</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>Angehalten</translation>
    </message>
    <message>
        <source>The scan could not be recorded in %1: %2</source>
        <translation>Die Abfrage konnte nicht in %1 festgehalten werden: %2</translation>
    </message>
    <message>
        <source>There is no saved search named &quot;%1&quot; in %2.</source>
        <translation>Es gibt keine gespeicherte Suche namens &quot;%1&quot; in %2.</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
</context>
<context>
    <name>tally::NavigationBar</name>
    <message>
        <source>URL:</source>
        <translation>URL:</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>Go</source>
        <translation>Los</translation>
    </message>
    <message>
        <source>Open the address (Enter)</source>
        <translation>Die Adresse öffnen (Eingabe)</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Previous page (Alt+Left)</source>
        <translation>Vorige Seite (Alt+Links)</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Vor</translation>
    </message>
    <message>
        <source>Next page (Alt+Right)</source>
        <translation>Nächste Seite (Alt+Rechts)</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Stop loading (Esc)</source>
        <translation>Laden abbrechen (Esc)</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Neu laden</translation>
    </message>
    <message>
        <source>Reload the page (F5)</source>
        <translation>Die Seite neu laden (F5)</translation>
    </message>
</context>
<context>
    <name>tally::OptionsDialog</name>
    <message>
        <source>Low Profile if total is less than:</source>
        <translation>Niedriges Profil, wenn die Summe kleiner ist als:</translation>
    </message>
    <message>
        <source>Medium Profile if total is less than: </source>
        <translation>Mittleres Profil, wenn die Summe kleiner ist als: </translation>
    </message>
    <message>
        <source>High Profile if total is greater than: </source>
        <translation>Hohes Profil, wenn die Summe größer ist als: </translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Edit Search Engine URLs</source>
        <translation>URLs der Suchmaschinen bearbeiten</translation>
    </message>
    <message>
        <source>Check engines...</source>
        <translation>Suchmaschinen prüfen …</translation>
    </message>
    <message>
        <source>What each engine column asks, as engines.ini defines it, and whether it works</source>
        <translation>Was jede Suchmaschinenspalte abfragt, wie engines.ini es festlegt, und ob es funktioniert</translation>
    </message>
    <message>
        <source>Define Popularity Ranks</source>
        <translation>Popularitätsstufen festlegen</translation>
    </message>
    <message>
        <source>Data Options</source>
        <translation>Datenoptionen</translation>
    </message>
    <message>
        <source>Clear results after each search</source>
        <translation>Ergebnisse nach jeder Suche löschen</translation>
    </message>
    <message>
        <source>Auto-sort data by popularity</source>
        <translation>Daten automatisch nach Popularität sortieren</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>The options could not be read from</source>
        <translation>Die Einstellungen konnten nicht gelesen werden aus</translation>
    </message>
    <message>
        <source>The engine addresses could not be saved to</source>
        <translation>Die Adressen der Suchmaschinen konnten nicht gespeichert werden in</translation>
    </message>
    <message>
        <source>The profile ranks and data options could not be saved to</source>
        <translation>Die Profilstufen und Datenoptionen konnten nicht gespeichert werden in</translation>
    </message>
    <message>
        <source>This will reset all engines, Continue?</source>
        <translation>Damit werden alle Suchmaschinen zurückgesetzt. Fortfahren?</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>The default engine addresses could not be saved to</source>
        <translation>Die vorgegebenen Adressen der Suchmaschinen konnten nicht gespeichert werden in</translation>
    </message>
    <message>
        <source>Check engines</source>
        <translation>Suchmaschinen prüfen</translation>
    </message>
    <message>
        <source>Sources...</source>
        <translation>Quellen …</translation>
    </message>
    <message>
        <source>Pick the source each engine column asks, with its API keys</source>
        <translation>Die Quelle wählen, die jede Suchmaschinenspalte abfragt, samt ihren API-Schlüsseln</translation>
    </message>
    <message>
        <source>Use the &amp;desktop&apos;s colours and fonts</source>
        <translation>Farben und Schriften des &amp;Desktops verwenden</translation>
    </message>
    <message>
        <source>The desktop&apos;s colour scheme (dark ones too), style and font instead of the program&apos;s own light look</source>
        <translation>Farbschema (auch ein dunkles), Stil und Schrift des Desktops statt des eigenen hellen Aussehens des Programms</translation>
    </message>
    <message>
        <source>Restore the default engine addresses and ranks (Alt+R)</source>
        <translation>Die vorgegebenen Adressen und Rangstufen der Suchmaschinen wiederherstellen (Alt+R)</translation>
    </message>
</context>
<context>
    <name>tally::ResultsModel</name>
    <message>
        <source>too large</source>
        <translation>zu groß</translation>
    </message>
    <message>
        <source>The counts add up to more than 9223372036854775807, more than a total can hold</source>
        <translation>Die Zählungen ergeben zusammen mehr als 9223372036854775807, mehr als eine Summe fassen kann</translation>
    </message>
</context>
<context>
    <name>tally::ResultsTable</name>
    <message>
        <source>Results</source>
        <translation>Ergebnisse</translation>
    </message>
</context>
<context>
    <name>tally::SaveSearchDialog</name>
    <message>
        <source>Save Search Results</source>
        <translation>Suchergebnisse speichern</translation>
    </message>
    <message>
        <source>Create New Save File</source>
        <translation>Neue Speicherdatei anlegen</translation>
    </message>
    <message>
        <source>Please choose a name for this search:</source>
        <translation>Bitte wählen Sie einen Namen für diese Suche:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Save Into An Old Search Result</source>
        <translation>In ein früheres Suchergebnis speichern</translation>
    </message>
    <message>
        <source>Append new results to this previous search:</source>
        <translation>Neue Ergebnisse an diese frühere Suche anhängen:</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Please type a name for this search.</source>
        <translation>Bitte geben Sie einen Namen für diese Suche ein.</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>A search name cannot hold &quot;/&quot; or control characters. Please choose another name.</source>
        <translation>Ein Suchname darf weder „/“ noch Steuerzeichen enthalten. Bitte wählen Sie einen anderen Namen.</translation>
    </message>
    <message>
        <source>This name is too long for a file name. Please choose a shorter name.</source>
        <translation>Dieser Name ist für einen Dateinamen zu lang. Bitte wählen Sie einen kürzeren Namen.</translation>
    </message>
    <message>
        <source>A saved search named &quot;%1&quot; already exists.

Saving under this name starts its history afresh for every engine saved now. Replace it?</source>
        <translation>Eine gespeicherte Suche namens „%1“ gibt es bereits.

Wenn Sie unter diesem Namen speichern, beginnt ihr Verlauf für jede jetzt gespeicherte Suchmaschine neu. Ersetzen?</translation>
    </message>
    <message>
        <source>Please choose a saved file in the dropdown box above</source>
        <translation>Bitte wählen Sie oben in der Auswahlliste eine gespeicherte Datei</translation>
    </message>
    <message>
        <source>Select A Saved Search</source>
        <translation>Gespeicherte Suche auswählen</translation>
    </message>
    <message>
        <source>This row holds a value that is not a count, so it was not saved.</source>
        <translation>Diese Zeile enthält einen Wert, der keine Anzahl ist; sie wurde daher nicht gespeichert.</translation>
    </message>
    <message>
        <source>The search results could not be saved to</source>
        <translation>Die Suchergebnisse konnten nicht gespeichert werden in</translation>
    </message>
</context>
<context>
    <name>tally::ScanFailuresDialog</name>
    <message>
        <source>Requests Without A Count</source>
        <translation>Anfragen ohne Anzahl</translation>
    </message>
    <message>
        <source>These requests of the last scan gave no count, and count nothing in the totals:</source>
        <translation>Diese Anfragen der letzten Suche ergaben keine Anzahl und zählen nicht zur Summe:</translation>
    </message>
    <message>
        <source>Failed requests</source>
        <translation>Fehlgeschlagene Anfragen</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>Engine</source>
        <translation>Suchmaschine</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Grund</translation>
    </message>
    <message>
        <source>&amp;Sources...</source>
        <translation>&amp;Quellen …</translation>
    </message>
    <message>
        <source>Check the keys, plans and sources of the columns</source>
        <translation>Die Schlüssel, Tarife und Quellen der Spalten prüfen</translation>
    </message>
</context>
<context>
    <name>tally::ScanRun</name>
    <message numerus="yes">
        <source>Search Complete.  Found %1 links.</source>
        <translation>
            <numerusform>Suche abgeschlossen.  %1 Link gefunden.</numerusform>
            <numerusform>Suche abgeschlossen.  %1 Links gefunden.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>  %1 of %2 requests failed.</source>
        <translation>
            <numerusform>  %1 von %2 Anfragen ist fehlgeschlagen.</numerusform>
            <numerusform>  %1 von %2 Anfragen sind fehlgeschlagen.</numerusform>
        </translation>
    </message>
    <message>
        <source>skipped: API key refused earlier in this run</source>
        <translation>übersprungen: API-Schlüssel in diesem Durchlauf schon abgelehnt</translation>
    </message>
    <message>
        <source>could not connect: no network</source>
        <translation>keine Verbindung möglich: kein Netzwerk</translation>
    </message>
    <message>
        <source>Scanning %1%2</source>
        <translation>Abfrage von %1%2</translation>
    </message>
    <message>
        <source>settings.ini cannot be read: %1</source>
        <translation>settings.ini kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Search Complete.  Found more links than can be added up.</source>
        <translation>Suche abgeschlossen.  Mehr Links gefunden, als sich addieren lassen.</translation>
    </message>
    <message>
        <source>rate limited: not asked again in this run (its waits for rate limits are spent)</source>
        <translation>Anfragelimit erreicht: in diesem Durchlauf nicht mehr gefragt (die Wartezeit für Anfragelimits ist aufgebraucht)</translation>
    </message>
    <message>
        <source>  A source refused: see Tools › Sources.</source>
        <translation>  Eine Quelle hat abgelehnt: siehe Werkzeuge › Quellen.</translation>
    </message>
</context>
<context>
    <name>tally::ScheduleDialog</name>
    <message>
        <source>Schedule</source>
        <translation>Zeitplan</translation>
    </message>
    <message>
        <source>New schedule</source>
        <translation>Neuer Zeitplan</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>&amp;List:</source>
        <translation>&amp;Liste:</translation>
    </message>
    <message>
        <source>Daily</source>
        <translation>Täglich</translation>
    </message>
    <message>
        <source>Weekly</source>
        <translation>Wöchentlich</translation>
    </message>
    <message>
        <source>Every few hours</source>
        <translation>Alle paar Stunden</translation>
    </message>
    <message>
        <source>every </source>
        <translation>alle </translation>
    </message>
    <message>
        <source> h</source>
        <translation> Std.</translation>
    </message>
    <message>
        <source>Hours between runs</source>
        <translation>Stunden zwischen den Läufen</translation>
    </message>
    <message>
        <source>Day of the week</source>
        <translation>Wochentag</translation>
    </message>
    <message>
        <source>Time of day</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>at</source>
        <translation>um</translation>
    </message>
    <message>
        <source>&amp;When:</source>
        <translation>&amp;Wann:</translation>
    </message>
    <message>
        <source> %</source>
        <translation> %</translation>
    </message>
    <message>
        <source>never</source>
        <translation>nie</translation>
    </message>
    <message>
        <source>Tell me when a count &amp;drops by more than:</source>
        <translation>Melden, wenn eine Anzahl um mehr &amp;fällt als:</translation>
    </message>
    <message>
        <source>Tell me when a source &amp;refuses (a key refused, a quota spent)</source>
        <translation>Melden, wenn eine Quelle &amp;verweigert (Schlüssel abgelehnt, Kontingent verbraucht)</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>Schedules</source>
        <translation>Zeitpläne</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>When</source>
        <translation>Wann</translation>
    </message>
    <message>
        <source>List</source>
        <translation>Liste</translation>
    </message>
    <message>
        <source>Next run</source>
        <translation>Nächster Lauf</translation>
    </message>
    <message>
        <source>Re&amp;move</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Recent runs</source>
        <translation>Letzte Läufe</translation>
    </message>
    <message>
        <source>Counted</source>
        <translation>Gezählt</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Rückgabewert</translation>
    </message>
    <message>
        <source>Sources that failed</source>
        <translation>Fehlgeschlagene Quellen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Choose a URL list</source>
        <translation>URL-Liste wählen</translation>
    </message>
    <message>
        <source>URL lists (*.txt);;All files (*)</source>
        <translation>URL-Listen (*.txt);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>The window&apos;s URL list (kept in step)</source>
        <translation>Die URL-Liste des Fensters (laufend aktuell)</translation>
    </message>
    <message>
        <source>Another list file...</source>
        <translation>Andere Listendatei...</translation>
    </message>
    <message>
        <source>not known</source>
        <translation>unbekannt</translation>
    </message>
    <message>
        <source>by hand</source>
        <translation>von Hand</translation>
    </message>
    <message>
        <source>The schedule was not made: %1.</source>
        <translation>Der Zeitplan wurde nicht angelegt: %1.</translation>
    </message>
    <message>
        <source>The schedule was not made: the list %1 cannot be read (%2).</source>
        <translation>Der Zeitplan wurde nicht angelegt: die Liste %1 kann nicht gelesen werden (%2).</translation>
    </message>
    <message>
        <source>The schedule was not made: the list %1 holds no URLs.</source>
        <translation>Der Zeitplan wurde nicht angelegt: die Liste %1 enthält keine URLs.</translation>
    </message>
    <message>
        <source>No user systemd instance answers (%1), so nothing was scheduled. The same schedule as a line for your crontab (crontab -e):
%2</source>
        <translation>Keine systemd-Instanz des Benutzers antwortet (%1), daher wurde nichts eingeplant. Derselbe Zeitplan als Zeile für Ihre crontab (crontab -e):
%2</translation>
    </message>
    <message>
        <source>The schedule was not made: %1</source>
        <translation>Der Zeitplan wurde nicht angelegt: %1</translation>
    </message>
    <message>
        <source>Scheduled &quot;%1&quot;: %2.</source>
        <translation>Eingeplant &quot;%1&quot;: %2.</translation>
    </message>
    <message>
        <source>The schedule &quot;%1&quot; could not be removed: %2</source>
        <translation>Der Zeitplan &quot;%1&quot; konnte nicht entfernt werden: %2</translation>
    </message>
    <message>
        <source>The schedule &quot;%1&quot; was removed.</source>
        <translation>Der Zeitplan &quot;%1&quot; wurde entfernt.</translation>
    </message>
    <message>
        <source>in the window</source>
        <translation>im Fenster</translation>
    </message>
</context>
<context>
    <name>tally::SourcesDialog</name>
    <message>
        <source>Sources</source>
        <translation>Quellen</translation>
    </message>
    <message>
        <source>Each column of the results asks one source. The built-in search engines no longer report link counts: pick a backlink API for a column, give its key and press Test.</source>
        <translation>Jede Spalte der Ergebnisse fragt eine Quelle ab. Die eingebauten Suchmaschinen melden keine Linkzahlen mehr: Wählen Sie für eine Spalte eine Backlink-API, geben Sie ihren Schlüssel ein und klicken Sie auf „Testen“.</translation>
    </message>
    <message>
        <source>Engine columns</source>
        <translation>Suchmaschinenspalten</translation>
    </message>
    <message>
        <source>Now: the built-in engine %1, which no longer reports link counts</source>
        <translation>Jetzt: die eingebaute Suchmaschine %1, die keine Linkzahlen mehr meldet</translation>
    </message>
    <message>
        <source>Now: %1 (preset %2)</source>
        <translation>Jetzt: %1 (Vorlage %2)</translation>
    </message>
    <message>
        <source>Now: off (it asks nothing)</source>
        <translation>Jetzt: aus (fragt nichts ab)</translation>
    </message>
    <message>
        <source>Now: a link index of your own (%1), left as engines.ini defines it</source>
        <translation>Jetzt: ein eigener Linkindex (%1), so belassen, wie engines.ini ihn festlegt</translation>
    </message>
    <message>
        <source>Now: a custom definition (%1), left as engines.ini defines it</source>
        <translation>Jetzt: eine eigene Definition (%1), so belassen, wie engines.ini sie festlegt</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Testen</translation>
    </message>
    <message>
        <source>&amp;URL to test with:</source>
        <translation>&amp;URL zum Testen:</translation>
    </message>
    <message>
        <source>URL to test with</source>
        <translation>URL zum Testen</translation>
    </message>
    <message>
        <source>Press Test beside a column to ask its source once.</source>
        <translation>Klicken Sie neben einer Spalte auf „Testen“, um ihre Quelle einmal abzufragen.</translation>
    </message>
    <message>
        <source>Test result</source>
        <translation>Testergebnis</translation>
    </message>
    <message>
        <source>Test details</source>
        <translation>Testdetails</translation>
    </message>
    <message>
        <source>Source of column %1</source>
        <translation>Quelle der Spalte %1</translation>
    </message>
    <message>
        <source>Test column %1</source>
        <translation>Spalte %1 testen</translation>
    </message>
    <message>
        <source>Ask this column&apos;s source once for the URL below</source>
        <translation>Die Quelle dieser Spalte einmal nach der URL unten fragen</translation>
    </message>
    <message>
        <source>Built-in engine %1 (no longer reports link counts)</source>
        <translation>Eingebaute Suchmaschine %1 (meldet keine Linkzahlen mehr)</translation>
    </message>
    <message>
        <source>Common Crawl (free, no key)</source>
        <translation>Common Crawl (kostenlos, ohne Schlüssel)</translation>
    </message>
    <message>
        <source>Off (asks nothing)</source>
        <translation>Aus (fragt nichts ab)</translation>
    </message>
    <message>
        <source>Custom definition in engines.ini (left as it is)</source>
        <translation>Eigene Definition in engines.ini (bleibt, wie sie ist)</translation>
    </message>
    <message>
        <source>Key %1:</source>
        <translation>Schlüssel %1:</translation>
    </message>
    <message>
        <source>Key %1 of column %2</source>
        <translation>Schlüssel %1 der Spalte %2</translation>
    </message>
    <message>
        <source>Testing %1 with %2...</source>
        <translation>%1 wird mit %2 getestet …</translation>
    </message>
    <message>
        <source>%1: value %2</source>
        <translation>%1: Wert %2</translation>
    </message>
    <message>
        <source>%1: no value. %2</source>
        <translation>%1: kein Wert. %2</translation>
    </message>
    <message>
        <source>Address: %1</source>
        <translation>Adresse: %1</translation>
    </message>
    <message>
        <source>Status: %1 %2</source>
        <translation>Status: %1 %2</translation>
    </message>
    <message>
        <source>Status: no reply</source>
        <translation>Status: keine Antwort</translation>
    </message>
    <message>
        <source>No request: %1</source>
        <translation>Keine Anfrage: %1</translation>
    </message>
    <message>
        <source>Value read: %1</source>
        <translation>Gelesener Wert: %1</translation>
    </message>
    <message>
        <source>Value read: none</source>
        <translation>Gelesener Wert: keiner</translation>
    </message>
    <message>
        <source>Reason: %1</source>
        <translation>Grund: %1</translation>
    </message>
    <message>
        <source>a count</source>
        <translation>eine Anzahl</translation>
    </message>
    <message>
        <source>Answer (first 2 KB):</source>
        <translation>Antwort (erste 2 KB):</translation>
    </message>
    <message>
        <source>The sources could not be saved to</source>
        <translation>Die Quellen konnten nicht gespeichert werden in</translation>
    </message>
    <message>
        <source>The API keys could not be saved to</source>
        <translation>Die API-Schlüssel konnten nicht gespeichert werden in</translation>
    </message>
    <message>
        <source>Download &amp;Common Crawl...</source>
        <translation>&amp;Common Crawl herunterladen …</translation>
    </message>
    <message>
        <source>Fetch the free Common Crawl web graph and make the link index its columns read</source>
        <translation>Den kostenlosen Web-Graphen von Common Crawl holen und den Linkindex anlegen, den seine Spalten lesen</translation>
    </message>
    <message>
        <source>Column %1 now counts with Common Crawl; Ok keeps it.</source>
        <translation>Spalte %1 zählt jetzt mit Common Crawl; „OK“ behält das bei.</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Ca&amp;ncel</source>
        <translation>Abb&amp;rechen</translation>
    </message>
    <message>
        <source>&amp;Test</source>
        <translation>&amp;Testen</translation>
    </message>
    <message>
        <source>%1 counts in column %2 (%3) already; a source can count in one column only.</source>
        <translation>%1 zählt schon in Spalte %2 (%3); eine Quelle kann nur in einer Spalte zählen.</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>tally::SourcesHintBar</name>
    <message>
        <source>Sources hint</source>
        <translation>Hinweis zu den Quellen</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>The built-in engines no longer report link counts. Pick a backlink source for your columns in the Sources window.</source>
        <translation>Die eingebauten Suchmaschinen melden keine Linkzahlen mehr. Wählen Sie im Fenster „Quellen“ eine Backlink-Quelle für Ihre Spalten.</translation>
    </message>
    <message>
        <source>&amp;Choose Sources...</source>
        <translation>&amp;Quellen wählen …</translation>
    </message>
    <message>
        <source>Close the hint</source>
        <translation>Hinweis schließen</translation>
    </message>
    <message>
        <source>Close the hint (Esc)</source>
        <translation>Hinweis schließen (Esc)</translation>
    </message>
</context>
<context>
    <name>tally::UrlPanel</name>
    <message>
        <source>Text Files (*.txt)</source>
        <translation>Textdateien (*.txt)</translation>
    </message>
    <message>
        <source>URLs</source>
        <translation>URLs</translation>
    </message>
    <message>
        <source>URL list</source>
        <translation>URL-Liste</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>New URL</source>
        <translation>Neue URL</translation>
    </message>
    <message>
        <source>C&amp;lear list</source>
        <translation>Liste &amp;leeren</translation>
    </message>
    <message>
        <source>Please enter a URL</source>
        <translation>Bitte geben Sie eine URL ein</translation>
    </message>
    <message>
        <source>This will delete all the URLs, Continue?</source>
        <translation>Damit werden alle URLs gelöscht. Fortfahren?</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Select a file</source>
        <translation>Datei auswählen</translation>
    </message>
    <message>
        <source>The URL list could not be loaded from</source>
        <translation>Die URL-Liste konnte nicht geladen werden aus</translation>
    </message>
    <message>
        <source>;;All Files (*)</source>
        <translation>;;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>The URL list could not be saved to</source>
        <translation>Die URL-Liste konnte nicht gespeichert werden in</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Entf.</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Laden</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Sichern</translation>
    </message>
    <message>
        <source>&amp;New URL</source>
        <translation>&amp;Neue URL</translation>
    </message>
    <message>
        <source>&amp;Delete Selected</source>
        <translation>&amp;Auswahl löschen</translation>
    </message>
    <message>
        <source>Load URL List from &amp;File</source>
        <translation>URL-Liste aus &amp;Datei laden</translation>
    </message>
    <message>
        <source>Load URL List from &amp;Clipboard</source>
        <translation>URL-Liste aus der &amp;Zwischenablage laden</translation>
    </message>
    <message>
        <source>&amp;Save URL List to File</source>
        <translation>URL-Liste in Datei &amp;speichern</translation>
    </message>
    <message>
        <source>The URL list of the last session could not be read from</source>
        <translation>Die URL-Liste der letzten Sitzung konnte nicht gelesen werden aus</translation>
    </message>
    <message>
        <source>The URL list could not be kept for the next start in</source>
        <translation>Die URL-Liste konnte für den nächsten Start nicht gespeichert werden in</translation>
    </message>
</context>
<context>
    <name>tally::WebsiteFrame</name>
    <message>
        <source>Web results</source>
        <translation>Web-Ergebnisse</translation>
    </message>
    <message>
        <source>Results - Website View</source>
        <translation>Ergebnisse – Website-Ansicht</translation>
    </message>
    <message>
        <source>Opening %1</source>
        <translation>%1 wird geöffnet</translation>
    </message>
</context>
</TS>
