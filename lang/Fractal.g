header {
}
options { language = "Cpp"; namespace = "lang"; }

class FractalParser extends Parser;
options { k = 2; importVocab = FractalVocab; exportVocab = Fractal; defaultErrorHandler = false; }

program : ( ID SEMI )* EOF ;

class FractalLexer extends Lexer;
options { k = 2; importVocab = Fractal; testLiterals = false; charVocabulary = '\u0000'..'\u00FF'; }

SEMI : ';' ;
ID options { testLiterals = true; paraphrase = "an identifier"; } : ('a'..'z' | 'A'..'Z' | '_')+ ;
WS : ( ' ' | '\t' | '\n' { newline(); } ) { $setType(antlr::Token::SKIP); } ;
