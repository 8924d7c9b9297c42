// The page side of the web layer: the canvas as GLUT's window, WebGL as the
// rasteriser, the browser's keys as GLUT's keyboard and the end of the
// program as a line of text. Linked into the module with --js-library.

mergeInto(LibraryManager.library, {
  $webPage: {
    gl: null,
    canvas: null,
    redisplayPending: false,
    ended: false,
    pointer: [0, 0],
    buffer: null,
    // The keys that produce a character, as X and GLUT deliver them; keys
    // without one (arrows, function keys, Shift) reach nothing.
    characterCode: function(event) {
      var named = {Escape: 27, Enter: 13, Backspace: 8, Tab: 9, Delete: 127};
      if (event.isComposing) return -1;
      if (named.hasOwnProperty(event.key)) return named[event.key];
      if (event.key.length !== 1) return -1;
      var code = event.key.charCodeAt(0);
      if (event.ctrlKey && /^[@-_a-z]$/i.test(event.key)) code &= 0x1f;
      return code < 256 ? code : -1;
    },
    end: function(status) {
      webPage.ended = true;
      var note = document.createElement('p');
      note.id = 'status';
      note.textContent = 'The viewer ended with status ' + status + '.';
      note.style.cssText = 'position:absolute;margin:0;left:' + webPage.canvas.style.left +
        ';top:' + (webPage.canvas.offsetTop + webPage.canvas.offsetHeight + 8) + 'px';
      document.body.appendChild(note);
    },
    display: function() {
      webPage.redisplayPending = false;
      webPage.run(_webDisplay);
    },
    // Calls into the program; Esc's exit arrives here as an exception.
    run: function(call) {
      if (webPage.ended) return;
      try {
        call();
      } catch (e) {
        if (e instanceof ExitStatus) webPage.end(e.status);
        else throw e;
      }
    },
    program: function(gl) {
      var vertex = 'attribute vec4 position; attribute vec4 color; varying vec4 shade;' +
        'void main() { gl_Position = position; shade = color; }';
      var fragment = 'precision mediump float; varying vec4 shade;' +
        'void main() { gl_FragColor = shade; }';
      var program = gl.createProgram();
      [[gl.VERTEX_SHADER, vertex], [gl.FRAGMENT_SHADER, fragment]].forEach(function(s) {
        var shader = gl.createShader(s[0]);
        gl.shaderSource(shader, s[1]);
        gl.compileShader(shader);
        gl.attachShader(program, shader);
      });
      gl.bindAttribLocation(program, 0, 'position');
      gl.bindAttribLocation(program, 1, 'color');
      gl.linkProgram(program);
      gl.useProgram(program);
      gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
      gl.enableVertexAttribArray(0);
      gl.enableVertexAttribArray(1);
      gl.vertexAttribPointer(0, 4, gl.FLOAT, false, 32, 0);
      gl.vertexAttribPointer(1, 4, gl.FLOAT, false, 32, 16);
      gl.depthFunc(gl.LESS);
    },
  },

  webPageCreateWindow__deps: ['$webPage'],
  webPageCreateWindow: function(title, x, y, width, height) {
    document.title = UTF8ToString(title);
    var canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    canvas.tabIndex = 0;
    canvas.style.cssText = 'position:absolute;outline:none;left:' + x + 'px;top:' + y + 'px';
    document.body.appendChild(canvas);
    webPage.canvas = canvas;
    var gl = canvas.getContext('webgl', {alpha: false, antialias: false, depth: true,
                                         stencil: false, preserveDrawingBuffer: false});
    if (!gl) {
      var note = document.createElement('p');
      note.textContent = 'This page needs WebGL, which this browser does not offer.';
      note.style.cssText = canvas.style.cssText + ';margin:0';
      document.body.replaceChild(note, canvas);
      webPage.ended = true;
      return;
    }
    webPage.gl = gl;
    webPage.program(gl);
    canvas.addEventListener('keydown', function(event) {
      var code = webPage.characterCode(event);
      if (code < 0 || webPage.ended) return;
      event.preventDefault();
      webPage.run(function() { _webKey(code, webPage.pointer[0], webPage.pointer[1]); });
    });
    canvas.addEventListener('mousemove', function(event) {
      webPage.pointer = [event.offsetX, event.offsetY];
    });
    canvas.addEventListener('mousedown', function() { canvas.focus(); });
    canvas.focus();
  },

  webPagePostRedisplay__deps: ['$webPage'],
  webPagePostRedisplay: function() {
    if (webPage.redisplayPending || webPage.ended) return;
    webPage.redisplayPending = true;
    // Right after the event that asked, once however often it asked.
    queueMicrotask(webPage.display);
  },

  webPageDraw__deps: ['$webPage'],
  webPageDraw: function(vertices, count) {
    var gl = webPage.gl;
    if (!gl) return;
    gl.bufferData(gl.ARRAY_BUFFER, HEAPF32.subarray(vertices >> 2, (vertices >> 2) + count * 8),
                  gl.STREAM_DRAW);
    gl.drawArrays(gl.TRIANGLES, 0, count);
  },

  webPageClear__deps: ['$webPage'],
  webPageClear: function(r, g, b, a, colorBuffer, depthBuffer) {
    var gl = webPage.gl;
    if (!gl) return;
    gl.clearColor(r, g, b, a);
    gl.clearDepth(1);
    gl.clear((colorBuffer ? gl.COLOR_BUFFER_BIT : 0) | (depthBuffer ? gl.DEPTH_BUFFER_BIT : 0));
  },

  webPageDepthTest__deps: ['$webPage'],
  webPageDepthTest: function(enabled) {
    var gl = webPage.gl;
    if (!gl) return;
    if (enabled) gl.enable(gl.DEPTH_TEST);
    else gl.disable(gl.DEPTH_TEST);
  },

  // The browser's event loop is the main loop: leave main without ending the
  // program, so that the exit after Esc still runs the exit handlers.
  webPageMainLoop: function() {
    throw 'unwind';
  },
});
