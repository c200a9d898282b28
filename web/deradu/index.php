<?php
// The information page of Qor Deradu; the game's Help button opens it as index.php?v=<version>.
// Plain PHP with no extension beyond the default ones, so any PHP host (or `php -S`) serves it.

// Versions this page describes. The v parameter is only compared with these, so the page
// never prints anything that came from the request.
const KNOWN_VERSIONS = ['1.0u'];

// The version the player runs, or null when v is missing, not a short version string
// (digits and dots with an optional letter) or not one this page knows.
function playedVersion($value)
{
    if (!is_string($value) || strlen($value) > 12
        || preg_match('/^[0-9]{1,3}(\.[0-9]{1,3}){1,2}[a-z]?\z/', $value) !== 1) {
        return null;
    }
    return in_array($value, KNOWN_VERSIONS, true) ? $value : null;
}

function escaped($text)
{
    return htmlspecialchars($text, ENT_QUOTES | ENT_HTML5, 'UTF-8');
}

$version = playedVersion(isset($_GET['v']) ? $_GET['v'] : null);

header_remove('X-Powered-By');
header('Content-Type: text/html; charset=utf-8');
// The page runs no script and loads only its own stylesheet and pictures.
header("Content-Security-Policy: default-src 'none'; style-src 'self'; img-src 'self'; "
    . "base-uri 'none'; form-action 'none'; frame-ancestors 'none'");
header('X-Content-Type-Options: nosniff');
header('Referrer-Policy: no-referrer');
?>
<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Qor Deradu 1.0 – how to play</title>
<meta name="description" content="How to play Qor Deradu, a sliding-tile puzzle for Linux and Windows: levels, Solve, skins, keys, settings, installing and removing.">
<link rel="icon" href="images/icon.png" type="image/png">
<link rel="stylesheet" href="style.css">
</head>
<body>
<header class="masthead">
  <div class="inner">
    <img class="logo" src="images/icon.png" width="32" height="32" alt="">
    <div>
      <h1>Qor Deradu 1.0</h1>
      <p class="tagline">A sliding-tile puzzle for Linux and Windows</p>
    </div>
  </div>
</header>

<main class="inner">
<?php if ($version !== null) : ?>
  <p class="version">You are playing version <?= escaped($version) ?></p>
<?php else : ?>
  <p class="version">This page describes Qor Deradu 1.0.</p>
<?php endif; ?>

  <nav aria-label="Contents">
    <ul>
      <li><a href="#goal">Goal</a></li>
      <li><a href="#playing">Playing</a></li>
      <li><a href="#levels">Levels and Solve</a></li>
      <li><a href="#skins">Skins</a></li>
      <li><a href="#window">Window switches</a></li>
      <li><a href="#keys">Keys</a></li>
      <li><a href="#settings">Settings</a></li>
      <li><a href="#install">Install and remove</a></li>
      <li><a href="#licence">Licence</a></li>
    </ul>
  </nav>

  <section id="goal">
    <h2>The goal</h2>
    <figure class="shot">
      <img src="images/game.png" width="471" height="401"
           alt="The game window: a shuffled board of numbered tiles on the left, the buttons Easy, Medium, Hard, Solve, Picture and Show on the right, the level and the move counter at the top">
      <figcaption>A Medium game, just dealt.</figcaption>
    </figure>
    <p>The board is a 4 × 4 frame holding fifteen tiles and one empty cell. The tiles
      start out shuffled. Put them back in order: 1 to 15 from left to right and from top
      to bottom, with the empty cell in the bottom-right corner.</p>
    <p>Every board the game deals is made by sliding tiles out of their places at random, so
      every board can be solved.</p>
  </section>

  <section id="playing">
    <h2>Playing</h2>
    <p>Click a tile directly beside the empty cell (left, right, above or below it) and it
      slides into the empty cell. A click on any other tile, or on the empty cell, does
      nothing.</p>
    <p>The bar at the top of the window shows the level of the game and the number of
      moves. Each slide counts one move.</p>
    <figure class="shot">
      <img src="images/completed.png" width="471" height="401"
           alt="A finished board: tiles 1 to 15 in order with the empty cell last, and the banner Completed ! beside the board">
      <figcaption>A board you finished yourself shows “Completed !”.</figcaption>
    </figure>
    <p>When the tiles are in order the banner <strong>“Completed !”</strong> appears at the
      lower right of the window. You may go on sliding: the banner goes away with the next slide and the
      counter keeps counting.</p>
  </section>

  <section id="levels">
    <h2>Levels and Solve</h2>
    <p>The buttons <strong>Easy</strong>, <strong>Medium</strong> and
      <strong>Hard</strong> deal a new board at once, at that level. The game in play is
      dropped and the counter starts again at 0. The higher the level, the further the tiles
      lie from their places. The game always starts with a Medium board.</p>
    <p><strong>Solve</strong> puts every tile in its place at once. The counter stays where
      it was and “Completed !” does not appear, since the board was not finished by hand. You
      can go on sliding from the solved board.</p>
  </section>

  <section id="skins">
    <h2>Skins and the reference picture</h2>
    <p>The game has two skins: numbered tiles, and one picture cut into fifteen pieces. The
      <strong>Picture</strong> button switches to the other skin; the game in play goes on
      unchanged.</p>
    <p><strong>Show</strong> widens the window and shows the finished board beside the one
      you play, as a reference picture in the current skin. The button then reads
      <strong>Hide</strong>, which closes the side panel again.</p>
    <figure class="shot wide">
      <img src="images/picture.png" width="864" height="401"
           alt="The widened window in the picture skin: the shuffled picture on the left, the buttons in the middle, the finished picture on the right">
      <figcaption>The picture skin with the reference picture shown.</figcaption>
    </figure>
  </section>

  <section id="window">
    <h2>The window switches</h2>
    <p>Three small buttons sit at the right end of the bar at the top of the window.</p>
    <div class="switches">
      <figure>
        <img class="pixels" src="images/switches-off.png" width="120" height="40"
             alt="The three small buttons: a question mark, a T, and a pin lying down">
        <figcaption>Both switches off</figcaption>
      </figure>
      <figure>
        <img class="pixels" src="images/switches-on.png" width="120" height="40"
             alt="The same buttons with both switches on: the T has a green tick and the pin stands upright">
        <figcaption>Both switches on</figcaption>
      </figure>
    </div>
    <dl>
      <dt>? (Help)</dt>
      <dd>Opens this page in your web browser.</dd>
      <dt>T (transparency)</dt>
      <dd>Makes the whole window semi-transparent, about three quarters opaque, so you can
        see what lies behind it. A green tick on the button shows the switch is on; click
        again to make the window solid.</dd>
      <dt>Pin (keep on top)</dt>
      <dd>Keeps the window above all other windows. The pin stands upright while the switch
        is on; click again to let other windows cover it.</dd>
    </dl>
    <p>On Linux the desktop carries out both switches: transparency needs a desktop that
      draws windows through a compositor, as most do today; without one the window stays
      solid.</p>
  </section>

  <section id="keys">
    <h2>Keys</h2>
    <?php /* facts: keys-focus keys */ ?>
    <p>The keys act while the game window has the keyboard focus. Letters work with or without
      Shift; on a keyboard layout without Latin letters, the key in the letter's place on a US
      keyboard does.</p>
    <table>
      <thead>
        <tr><th scope="col">Key</th><th scope="col">What it does</th></tr>
      </thead>
      <tbody>
        <tr><td><kbd>N</kbd></td><td>A new game at the current level.</td></tr>
        <tr><td><kbd>S</kbd></td><td>Solve: every tile to its place at once.</td></tr>
        <tr><td><kbd>C</kbd></td><td>The other skin, quietly: it shows the next time the window
          changes, for example at the next slide.</td></tr>
        <tr><td><kbd>K</kbd></td><td>The other skin, shown at once.</td></tr>
        <tr><td><kbd>&larr;</kbd> <kbd>&rarr;</kbd> <kbd>&uarr;</kbd>
          <kbd>&darr;</kbd></td><td>Move the board's cursor, which is not drawn: nothing on the
          screen changes and no tile slides. Tiles slide with the mouse only.</td></tr>
      </tbody>
    </table>
    <?php /* end of facts */ ?>
  </section>

  <section id="settings">
    <h2>Settings</h2>
    <?php /* facts: settings-kept settings-written settings-files settings-lines */ ?>
    <p>When the game ends it keeps the skin, both window switches and where the window stood,
      and uses them at the next start. The level of the last game is written as well but never
      read back: every start deals a Medium game. The board, the move counter and the reference
      picture (Show) are not kept.</p>
    <p>The settings file is written when the game ends, so a change made to it while the game
      runs is overwritten then. The game makes the missing folders itself. It writes the new
      file beside the old one, puts it on the disk and then puts it in the old one's place, so a
      save that fails for want of disk space, or a power cut just after it, leaves the old file
      or the new one whole; only where it may not make a file in that folder does it rewrite the
      old file in place.</p>
    <table>
      <thead>
        <tr><th scope="col">System</th><th scope="col">Settings file</th></tr>
      </thead>
      <tbody>
        <tr><td>Linux</td><td><code>~/.config/qor/revaziriv/revAziriv.ini</code>, or the same
          under <code>$XDG_CONFIG_HOME</code> instead of <code>~/.config</code> when that is set
          to an absolute path.</td></tr>
        <tr><td>Windows</td><td><code>qor\revaziriv\revAziriv.ini</code> in the common
          application-data folder, usually
          <code>C:\ProgramData\qor\revaziriv\revAziriv.ini</code>: one file for everybody who
          uses the computer.</td></tr>
      </tbody>
    </table>
    <p>The file holds six lines of decimal numbers: the skin (0 numbered tiles, 1 picture), keep
      on top (0 or 1), transparency (0 or 1), the window's top and left edge in screen pixels,
      and the level of the last game (1 Easy, 2 Medium, 3 Hard). A skin number the game does not
      have means numbered tiles. A saved edge that lies outside the screen, for example after a
      monitor was removed, is brought back: a left edge left of the screen or beyond its width
      starts the window 2 pixels from the screen's left edge instead, and a top edge above the
      screen or below its height 2 pixels below its top edge. An edge on the screen is kept,
      even when most of the window then lies beyond it.</p>
    <?php /* end of facts */ ?>
    <h3>Resetting the settings</h3>
    <?php /* facts: settings-reset */ ?>
    <p>Close the game, then delete the settings file. The next start uses the defaults: numbered
      tiles, both switches off, the window in the top-left corner of the screen.</p>
    <?php /* end of facts */ ?>
    <ul>
      <li>Linux: <code>rm ~/.config/qor/revaziriv/revAziriv.ini</code></li>
      <li>Windows: type <code>%ProgramData%\qor\revaziriv</code> into the address bar of
        File Explorer and delete <code>revAziriv.ini</code>.</li>
    </ul>
  </section>

  <section id="install">
    <h2>Installing and removing</h2>
    <h3>Linux (Debian, Ubuntu and their relatives, 64-bit PC)</h3>
    <p>Download <code>deradu_1.0-1_amd64.deb</code>, then in a terminal in the download
      folder:</p>
    <pre><code>sudo apt install ./deradu_1.0-1_amd64.deb</code></pre>
    <p>The <code>./</code> tells apt to install this file; apt fetches any library the game
      needs. Start the game from the Games section of your applications menu
      (<strong>Qor Deradu</strong>) or with the command <code>deradu</code>;
      <code>man deradu</code> is its manual page. It runs on X11 and on Wayland desktops, as a
      window of their own kind.</p>
    <?php /* facts: scale wayland */ ?>
    <p>On a HiDPI screen the window is drawn at a whole-number scale: crisp lines, each bitmap
      pixel a block, text rendered afresh at that many times its size. The scale is
      <strong>GDK_SCALE</strong> when that is a positive whole number; otherwise the X resource
      <strong>Xft.dpi</strong> divided by 96 and rounded to the nearest whole number, halves up
      (below 144 dpi 1, from 144 dpi 2, from 240 dpi 3, from 336 dpi 4), so that a 150% desk
      gets readable text; otherwise 1. It is at most 4, where the wide window is already about
      as wide as a 4K screen. The window's position stays in the screen's own pixels at any
      scale.</p>
    <p>On a Wayland desktop the game is a Wayland window of its own, not an X11 one. The desktop
      tells it the scale of the screen it is on, and it draws at that scale, again when it moves
      to another screen; at 125%, 150% or 175% it draws at the next whole scale and the desktop
      shrinks it to size. <strong>GDK_SCALE</strong> and <strong>Xft.dpi</strong> are not read
      there. Where the desktop draws no title bar of its own, the game draws one with the title,
      a minimise and a close button; drag the bar to move the window. Wayland lets no program
      choose where its window goes, nor keep it above other windows: the desktop places the
      window, the keep-on-top switch is kept, saved and shown but does nothing, and the window's
      position in the settings file is written back as it was read, so it still serves the game
      on X11 and on Windows. <strong>DERADU_BACKEND</strong> chooses X11 instead.</p>
    <?php /* end of facts */ ?>
    <p>On Windows, Windows itself enlarges the game on HiDPI screens.</p>
    <p>To remove it:</p>
    <pre><code>sudo apt remove deradu</code></pre>
    <p>Your settings file stays in your home folder; delete
      <code>~/.config/qor/revaziriv</code> and <code>~/.cache/qor</code> (where the game
      remembers which font files your system chose) as well to leave nothing behind.</p>

    <h3>Windows, with the installer</h3>
    <p>Run <code>deradu-1.0-setup.exe</code> and follow its steps. It installs the game for
      all users of the computer, in a folder <code>Qor Deradu</code> under
      <code>Program Files</code> (<code>Program Files (x86)</code> on 64-bit Windows; Windows asks for
      an administrator’s permission) and adds <strong>Qor Deradu</strong> to the Start
      menu. An administrator can install it without questions with
      <code>deradu-1.0-setup.exe /S</code>. Installing a newer version goes to the same folder;
      close the game first (the installer and the uninstaller ask you to, and change
      nothing while it runs).</p>
    <p>To remove it, open <strong>Settings → Apps</strong> (or <strong>Control Panel →
      Programs and Features</strong>), choose <strong>Qor Deradu</strong> and
      <strong>Uninstall</strong>. The uninstaller removes the program and its Start-menu
      entry and keeps your settings file; delete it by hand as described under
      <a href="#settings">Settings</a> if you no longer want it.</p>

    <h3>Windows, without installing</h3>
    <p><code>deradu-1.0-win32.zip</code> holds one folder, <code>deradu-1.0</code>, with
      <code>deradu.exe</code>, <code>README.txt</code>, <code>NEWS.txt</code>,
      <code>LICENSE.txt</code> and <code>THIRD-PARTY-NOTICES.txt</code>. Unpack it anywhere, a
      USB stick included, and run <code>deradu.exe</code> in that folder. To remove it, delete
      the folder.
      This copy keeps its settings in the same place as the installed game
      (see <a href="#settings">Settings</a>), not beside the program.</p>
    <p>The Windows program is a 32-bit program; it runs on 32-bit and 64-bit Windows.</p>
  </section>

  <section id="licence">
    <h2>Licence</h2>
    <p>Qor Deradu is free software under the MIT licence:</p>
    <blockquote class="licence">
      <p>Copyright (c) 2026 The Qor Deradu authors</p>
      <p>Permission is hereby granted, free of charge, to any person obtaining a copy of
        this software and associated documentation files (the “Software”), to deal in the
        Software without restriction, including without limitation the rights to use, copy,
        modify, merge, publish, distribute, sublicense, and/or sell copies of the Software,
        and to permit persons to whom the Software is furnished to do so, subject to the
        following conditions:</p>
      <p>The above copyright notice and this permission notice shall be included in all
        copies or substantial portions of the Software.</p>
      <p>THE SOFTWARE IS PROVIDED “AS IS”, WITHOUT WARRANTY OF ANY KIND, EXPRESS OR
        IMPLIED, INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY, FITNESS FOR
        A PARTICULAR PURPOSE AND NONINFRINGEMENT. IN NO EVENT SHALL THE AUTHORS OR COPYRIGHT
        HOLDERS BE LIABLE FOR ANY CLAIM, DAMAGES OR OTHER LIABILITY, WHETHER IN AN ACTION OF
        CONTRACT, TORT OR OTHERWISE, ARISING FROM, OUT OF OR IN CONNECTION WITH THE SOFTWARE
        OR THE USE OR OTHER DEALINGS IN THE SOFTWARE.</p>
    </blockquote>
    <p>The pictures of the game, tiles and buttons included, are the project’s own work
      and come under the same licence.</p>
  </section>
</main>

<footer>
  <p class="inner">Copyright (c) 2026 The Qor Deradu authors · MIT licence</p>
</footer>
</body>
</html>
